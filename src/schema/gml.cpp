#include "schema/gml.h"

#include "schema/namespaces.h"

namespace vokr::schema {

namespace {
// Element members of the GML classes live in GML and refer to its global elements.
constexpr Options kGml{.ns = ns::gml};
} // namespace

const ClassOf<DirectPositionType> DirectPositionType::info{
    ns::gml, "DirectPositionType",
    {member<&DirectPositionType::Text>("Text", kTextContent),
     member<&DirectPositionType::srsName>("srsName", kAttribute),
     member<&DirectPositionType::srsDimension>("srsDimension", kAttribute)}};
const ClassOf<pos> pos::info{ns::gml, "pos"};

const ClassOf<AbstractRingType> AbstractRingType::info{ns::gml, "AbstractRingType"};
const ClassOf<AbstractRing> AbstractRing::info{ns::gml, "AbstractRing"};
const ClassOf<LinearRingType> LinearRingType::info{
    ns::gml, "LinearRingType",
    {member<&LinearRingType::pos>("pos", kUnbounded | kReference, kGml)}};
const ClassOf<LinearRing> LinearRing::info{ns::gml, "LinearRing"};

const ClassOf<AbstractRingPropertyType> AbstractRingPropertyType::info{
    ns::gml, "AbstractRingPropertyType",
    {member<&AbstractRingPropertyType::AbstractRing>("AbstractRing", kReference, kGml)}};
const ClassOf<exterior> exterior::info{ns::gml, "exterior"};
const ClassOf<interior> interior::info{ns::gml, "interior"};

const ClassOf<AbstractGMLType> AbstractGMLType::info{
    ns::gml, "AbstractGMLType", {member<&AbstractGMLType::id>("id", kAttribute)}};
const ClassOf<AbstractGeometryType> AbstractGeometryType::info{
    ns::gml, "AbstractGeometryType",
    {member<&AbstractGeometryType::srsName>("srsName", kAttribute),
     member<&AbstractGeometryType::srsDimension>("srsDimension", kAttribute)}};
const ClassOf<AbstractGeometricPrimitiveType> AbstractGeometricPrimitiveType::info{
    ns::gml, "AbstractGeometricPrimitiveType"};
const ClassOf<AbstractSurfaceType> AbstractSurfaceType::info{ns::gml, "AbstractSurfaceType"};
const ClassOf<PolygonType> PolygonType::info{
    ns::gml, "PolygonType",
    {member<&PolygonType::exterior>("exterior", kReference, kGml),
     member<&PolygonType::interior>("interior", kUnbounded | kReference, kGml)}};
const ClassOf<Polygon> Polygon::info{ns::gml, "Polygon"};

} // namespace vokr::schema
