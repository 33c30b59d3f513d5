#pragma once
// Message classes and their descriptors. Every request, response and schema type derives from
// TRemotable and is described once by a ClassInfo: namespace, XML name, base class and its own
// members in wire order. The writer and the reader work through these descriptors only, so a
// message class is plain C++ fields plus one description:
//
//   // header
//   struct RezervCisloZPMZType : Remotable<RezervCisloZPMZType> {
//     std::optional<TXSDecimal> katuzeKod;
//     std::optional<TXSDecimal> cisloZPMZ;
//     static const ClassOf<RezervCisloZPMZType> info;
//   };
//   // source
//   const ClassOf<RezervCisloZPMZType> RezervCisloZPMZType::info{
//       ns::types, "RezervCisloZPMZType",
//       {member<&RezervCisloZPMZType::katuzeKod>("katuzeKod"),
//        member<&RezervCisloZPMZType::cisloZPMZ>("cisloZPMZ")}};
//
// A derived class lists only its own members: `struct X : Remotable<X, XType>`.
//
// Field types and the value kind they stand for:
//   std::string                  text (UTF-8)
//   int32_t                      32-bit integer
//   bool                         Boolean
//   enum class E : uint8_t       enumeration; `const EnumInfo& enumInfo(E)` gives its wire texts
//   std::optional<TXSDecimal>    decimal value (empty = not set, not written)
//   std::optional<TXSDateTime>   date-time value
//   TByteSOAPArray               byte array
//   std::unique_ptr<T>           nested object
//   std::vector<std::string>, std::vector<TXSDecimal>, std::vector<TXSDateTime>,
//   std::vector<std::unique_ptr<T>>   lists (wrapped, or repeated with kUnbounded)
//   std::vector<std::optional<TXSDecimal>>   decimal list whose empty items are written nil
//   Optional<any of the above>   optional member: written only when set()
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "schema/values.h"

namespace vokr::schema {

struct ClassInfo;

class TRemotable {
public:
  virtual ~TRemotable() = default;
  virtual const ClassInfo& classInfo() const = 0;
};

// The class of a described message class: gives classInfo() from `Self::info`.
template <class Self, class Base = TRemotable> class Remotable : public Base {
public:
  using RemotableBase = Base;
  const ClassInfo& classInfo() const override;
};

enum class Kind : uint8_t { text, integer, boolean, enumeration, decimal, dateTime, bytes, object };

// Member flags. Optional is not among them: it follows from an Optional<T> field.
enum MemberFlag : unsigned {
  kUnbounded = 1u << 0,    // list written as repeated elements, no wrapper
  kAttribute = 1u << 1,    // simple value written as an attribute of the object's element
  kTextContent = 1u << 2,  // text written as the object's own element text
  kReference = 1u << 3,    // element in the namespace of the member's class
  kSecret = 1u << 4,       // text the rope keeps apart as secret (the password): dumps mask it
};

// The option string settings of a member; empty means not given.
struct Options {
  std::string_view extName{};   // ExtName: wire name when it differs from the member name
  std::string_view ns{};        // Namespace: of the member's element or attribute
  std::string_view itemName{};  // ArrayItemName: item element name of a wrapped list
};

// An enumeration: wire texts in ordinal order.
struct EnumInfo {
  EnumInfo(std::string_view ns, std::string_view xmlName,
           std::initializer_list<std::string_view> texts);
  EnumInfo(const EnumInfo&) = delete;
  EnumInfo& operator=(const EnumInfo&) = delete;

  std::string_view ns;
  std::string_view xmlName;
  std::vector<std::string_view> texts;

  // Ordinal of a wire text, or -1.
  int ordinal(std::string_view text) const;
};

// Type-erased handling of object members: `std::unique_ptr<T>` and its list form.
struct ObjectOps {
  TRemotable* (*get)(void* slot);
  void (*set)(void* slot, std::unique_ptr<TRemotable> object);
  size_t (*size)(void* slot);
  TRemotable* (*item)(void* slot, size_t i);
  void (*append)(void* slot, std::unique_ptr<TRemotable> object);
};

struct MemberInfo {
  std::string_view name;
  Kind kind;
  bool list;
  bool nullableItems;  // std::vector<std::optional<TXSDecimal>>: empty items are written nil
  unsigned flags;
  Options options;
  const ClassInfo* objectClass;  // object kind: the declared class (of the items, for lists)
  const EnumInfo* enumeration;   // enumeration kind
  const ObjectOps* objects;      // object kind

  // The field's value (inside Optional<T> for optional members) and the presence flag (null
  // for members that are not optional). The C++ type follows from kind and list (see top).
  void* (*slot)(TRemotable&);
  bool* (*presence)(TRemotable&);

  std::string_view wireName() const { return options.extName.empty() ? name : options.extName; }
  bool has(MemberFlag f) const { return (flags & f) != 0; }
  bool present(const TRemotable& o) const { return !presence || *presence(mut(o)); }
  void markPresent(TRemotable& o) const {
    if (presence) *presence(o) = true;
  }
  template <class T> T& value(TRemotable& o) const { return *static_cast<T*>(slot(o)); }
  template <class T> const T& value(const TRemotable& o) const {
    return *static_cast<const T*>(slot(mut(o)));
  }

private:
  static TRemotable& mut(const TRemotable& o) { return const_cast<TRemotable&>(o); }
};

struct ClassInfo {
  ClassInfo(std::string_view ns, std::string_view xmlName, const ClassInfo* base,
            std::unique_ptr<TRemotable> (*create)(), std::initializer_list<MemberInfo> members);
  ClassInfo(const ClassInfo&) = delete;
  ClassInfo& operator=(const ClassInfo&) = delete;

  std::string_view ns;
  std::string_view xmlName;
  const ClassInfo* base;             // null for direct descendants of TRemotable
  std::unique_ptr<TRemotable> (*create)();
  std::vector<MemberInfo> members;   // own members only

  // Inherited members first, then own: the wire order.
  const std::vector<const MemberInfo*>& wireMembers() const;
  bool derivesFrom(const ClassInfo& other) const;  // true for the class itself too

private:
  mutable std::once_flag flattened_;
  mutable std::vector<const MemberInfo*> wireMembers_;
};

// The ClassInfo of C: creation and base class follow from the C++ class.
template <class C> struct ClassOf : ClassInfo {
  ClassOf(std::string_view ns, std::string_view xmlName,
          std::initializer_list<MemberInfo> members = {})
      : ClassInfo(ns, xmlName, baseInfo(), &make, members) {}

private:
  static std::unique_ptr<TRemotable> make() { return std::make_unique<C>(); }
  static const ClassInfo* baseInfo() {
    using B = typename C::RemotableBase;
    if constexpr (requires { B::info; }) return &B::info;
    else return nullptr;
  }
};

template <class Self, class Base> const ClassInfo& Remotable<Self, Base>::classInfo() const {
  // A class that forgot its own `info` would otherwise pass for its base.
  static_assert(std::is_same_v<decltype(Self::info), const ClassOf<Self>>,
                "every described class declares `static const ClassOf<Self> info`");
  return Self::info;
}

// ---- member<&C::field>(name, flags, options) ----

namespace detail {

template <class T> struct IsOptional : std::false_type {};
template <class T> struct IsOptional<Optional<T>> : std::true_type { using type = T; };
template <class T> struct IsUniquePtr : std::false_type {};
template <class T> struct IsUniquePtr<std::unique_ptr<T>> : std::true_type { using type = T; };
template <class T> struct IsVector : std::false_type {};
template <class T> struct IsVector<std::vector<T>> : std::true_type { using type = T; };

template <class T> constexpr Kind scalarKind() {
  if constexpr (std::is_same_v<T, std::string>) return Kind::text;
  else if constexpr (std::is_same_v<T, int32_t>) return Kind::integer;
  else if constexpr (std::is_same_v<T, bool>) return Kind::boolean;
  else if constexpr (std::is_enum_v<T>) {
    static_assert(std::is_same_v<std::underlying_type_t<T>, uint8_t>, "enumerations are uint8_t");
    return Kind::enumeration;
  } else if constexpr (std::is_same_v<T, std::optional<TXSDecimal>>) return Kind::decimal;
  else if constexpr (std::is_same_v<T, std::optional<TXSDateTime>>) return Kind::dateTime;
  else if constexpr (std::is_same_v<T, TByteSOAPArray>) return Kind::bytes;
  else if constexpr (IsUniquePtr<T>::value) {
    static_assert(std::is_base_of_v<TRemotable, typename IsUniquePtr<T>::type>);
    return Kind::object;
  } else static_assert(sizeof(T) == 0, "field type without a value kind");
}

template <class T> constexpr Kind itemKind() {
  if constexpr (std::is_same_v<T, std::string>) return Kind::text;
  else if constexpr (std::is_same_v<T, TXSDecimal>) return Kind::decimal;
  else if constexpr (std::is_same_v<T, std::optional<TXSDecimal>>) return Kind::decimal;
  else if constexpr (std::is_same_v<T, TXSDateTime>) return Kind::dateTime;
  else if constexpr (IsUniquePtr<T>::value) {
    static_assert(std::is_base_of_v<TRemotable, typename IsUniquePtr<T>::type>);
    return Kind::object;
  } else static_assert(sizeof(T) == 0, "list item type without a value kind");
}

template <class T> std::unique_ptr<T> downcast(std::unique_ptr<TRemotable> p) {
  return std::unique_ptr<T>(static_cast<T*>(p.release()));
}

template <class T> inline constexpr ObjectOps singleObjectOps{
    [](void* s) -> TRemotable* { return static_cast<std::unique_ptr<T>*>(s)->get(); },
    [](void* s, std::unique_ptr<TRemotable> p) {
      *static_cast<std::unique_ptr<T>*>(s) = downcast<T>(std::move(p));
    },
    nullptr, nullptr, nullptr};

template <class T> inline constexpr ObjectOps listObjectOps{
    nullptr, nullptr,
    [](void* s) -> size_t { return static_cast<std::vector<std::unique_ptr<T>>*>(s)->size(); },
    [](void* s, size_t i) -> TRemotable* {
      return (*static_cast<std::vector<std::unique_ptr<T>>*>(s))[i].get();
    },
    [](void* s, std::unique_ptr<TRemotable> p) {
      static_cast<std::vector<std::unique_ptr<T>>*>(s)->push_back(downcast<T>(std::move(p)));
    }};

template <class M> struct MemberPointer;
template <class C, class F> struct MemberPointer<F C::*> {
  using Class = C;
  using Field = F;
};

} // namespace detail

template <auto Field>
MemberInfo member(std::string_view name, unsigned flags = 0, Options options = {}) {
  using MP = detail::MemberPointer<decltype(Field)>;
  using C = typename MP::Class;
  using F = typename MP::Field;
  constexpr bool optional = detail::IsOptional<F>::value;
  using V = typename std::conditional_t<optional, detail::IsOptional<F>, std::type_identity<F>>::type;
  constexpr bool list = detail::IsVector<V>::value;

  MemberInfo m{};
  m.name = name;
  m.list = list;
  m.flags = flags;
  m.options = options;
  if constexpr (optional) {
    m.slot = [](TRemotable& o) -> void* { return &(static_cast<C&>(o).*Field).value; };
    m.presence = [](TRemotable& o) -> bool* { return &(static_cast<C&>(o).*Field).present; };
  } else {
    m.slot = [](TRemotable& o) -> void* { return &(static_cast<C&>(o).*Field); };
    m.presence = nullptr;
  }
  if constexpr (list) {
    using Item = typename detail::IsVector<V>::type;
    m.kind = detail::itemKind<Item>();
    m.nullableItems = std::is_same_v<Item, std::optional<TXSDecimal>>;
    if constexpr (detail::IsUniquePtr<Item>::value) {
      using T = typename detail::IsUniquePtr<Item>::type;
      m.objectClass = &T::info;
      m.objects = &detail::listObjectOps<T>;
    }
  } else {
    m.kind = detail::scalarKind<V>();
    if constexpr (detail::IsUniquePtr<V>::value) {
      using T = typename detail::IsUniquePtr<V>::type;
      m.objectClass = &T::info;
      m.objects = &detail::singleObjectOps<T>;
    } else if constexpr (std::is_enum_v<V>) {
      m.enumeration = &enumInfo(V{});
    }
  }
  return m;
}

} // namespace vokr::schema
