#pragma once
// The GML 3.2 polygon that an export request carries: a polygon with an exterior ring and
// interior rings, each ring a list of positions. Only what a request can hold is declared.
#include "schema/remotable.h"

namespace vokr::schema {

// A position: its coordinate texts as content, with optional reference system attributes.
struct DirectPositionType : Remotable<DirectPositionType> {
  std::string Text;
  Optional<std::string> srsName;
  Optional<std::optional<TXSDecimal>> srsDimension;
  static const ClassOf<DirectPositionType> info;
};
struct pos : Remotable<pos, DirectPositionType> {
  static const ClassOf<pos> info;
};

struct AbstractRingType : Remotable<AbstractRingType> {
  static const ClassOf<AbstractRingType> info;
};
struct AbstractRing : Remotable<AbstractRing, AbstractRingType> {
  static const ClassOf<AbstractRing> info;
};
struct LinearRingType : Remotable<LinearRingType, AbstractRingType> {
  Optional<std::vector<std::unique_ptr<schema::pos>>> pos;
  static const ClassOf<LinearRingType> info;
};
struct LinearRing : Remotable<LinearRing, LinearRingType> {
  static const ClassOf<LinearRing> info;
};

// A ring member. Its element is named after the member, AbstractRing, whatever ring it holds;
// the ring a request holds is always a LinearRing.
struct AbstractRingPropertyType : Remotable<AbstractRingPropertyType> {
  std::unique_ptr<LinearRing> AbstractRing;
  static const ClassOf<AbstractRingPropertyType> info;
};
struct exterior : Remotable<exterior, AbstractRingPropertyType> {
  static const ClassOf<exterior> info;
};
struct interior : Remotable<interior, AbstractRingPropertyType> {
  static const ClassOf<interior> info;
};

struct AbstractGMLType : Remotable<AbstractGMLType> {
  std::string id;
  static const ClassOf<AbstractGMLType> info;
};
struct AbstractGeometryType : Remotable<AbstractGeometryType, AbstractGMLType> {
  Optional<std::string> srsName;
  Optional<std::optional<TXSDecimal>> srsDimension;
  static const ClassOf<AbstractGeometryType> info;
};
struct AbstractGeometricPrimitiveType
    : Remotable<AbstractGeometricPrimitiveType, AbstractGeometryType> {
  static const ClassOf<AbstractGeometricPrimitiveType> info;
};
struct AbstractSurfaceType : Remotable<AbstractSurfaceType, AbstractGeometricPrimitiveType> {
  static const ClassOf<AbstractSurfaceType> info;
};
struct PolygonType : Remotable<PolygonType, AbstractSurfaceType> {
  Optional<std::unique_ptr<schema::exterior>> exterior;
  Optional<std::vector<std::unique_ptr<schema::interior>>> interior;
  static const ClassOf<PolygonType> info;
};
struct Polygon : Remotable<Polygon, PolygonType> {
  static const ClassOf<Polygon> info;
};

} // namespace vokr::schema
