#include "schema/remotable.h"

#include <algorithm>

namespace vokr::schema {

namespace {

// Function-local lists: descriptors in other sources register during static initialisation,
// in whatever order the linker chose.
template <class T> std::vector<const T*>& registry() {
  static std::vector<const T*> list;
  return list;
}

template <class T> const T* find(std::string_view ns, std::string_view xmlName) {
  const auto& list = registry<T>();
  auto it = std::find_if(list.begin(), list.end(),
                         [&](const T* t) { return t->ns == ns && t->xmlName == xmlName; });
  return it == list.end() ? nullptr : *it;
}

} // namespace

EnumInfo::EnumInfo(std::string_view ns, std::string_view xmlName,
                   std::initializer_list<std::string_view> texts)
    : ns(ns), xmlName(xmlName), texts(texts) {
  registry<EnumInfo>().push_back(this);
}

int EnumInfo::ordinal(std::string_view text) const {
  auto it = std::find(texts.begin(), texts.end(), text);
  return it == texts.end() ? -1 : static_cast<int>(it - texts.begin());
}

SimpleTypeInfo::SimpleTypeInfo(std::string_view ns, std::string_view xmlName, Kind kind,
                               bool list)
    : ns(ns), xmlName(xmlName), kind(kind), list(list) {
  registry<SimpleTypeInfo>().push_back(this);
}

ClassInfo::ClassInfo(std::string_view ns, std::string_view xmlName, const ClassInfo* base,
                     std::unique_ptr<TRemotable> (*create)(),
                     std::initializer_list<MemberInfo> members, bool literal)
    : ns(ns), xmlName(xmlName), base(base), create(create), members(members), literal(literal) {
  registry<ClassInfo>().push_back(this);
}

const std::vector<const MemberInfo*>& ClassInfo::wireMembers() const {
  // Built on first use: the base's descriptor may be initialised after this one.
  std::call_once(flattened_, [this] {
    if (base) wireMembers_ = base->wireMembers();
    for (const MemberInfo& m : members) wireMembers_.push_back(&m);
  });
  return wireMembers_;
}

bool ClassInfo::derivesFrom(const ClassInfo& other) const {
  for (const ClassInfo* c = this; c; c = c->base)
    if (c == &other) return true;
  return false;
}

const std::vector<const ClassInfo*>& registeredClasses() { return registry<ClassInfo>(); }
const std::vector<const EnumInfo*>& registeredEnums() { return registry<EnumInfo>(); }
const std::vector<const SimpleTypeInfo*>& registeredSimpleTypes() {
  return registry<SimpleTypeInfo>();
}
const ClassInfo* findClass(std::string_view ns, std::string_view xmlName) {
  return find<ClassInfo>(ns, xmlName);
}
const EnumInfo* findEnum(std::string_view ns, std::string_view xmlName) {
  return find<EnumInfo>(ns, xmlName);
}
const SimpleTypeInfo* findSimpleType(std::string_view ns, std::string_view xmlName) {
  return find<SimpleTypeInfo>(ns, xmlName);
}

} // namespace vokr::schema
