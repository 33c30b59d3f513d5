#include "schema/remotable.h"

#include <algorithm>

namespace vokr::schema {

EnumInfo::EnumInfo(std::string_view ns, std::string_view xmlName,
                   std::initializer_list<std::string_view> texts)
    : ns(ns), xmlName(xmlName), texts(texts) {}

int EnumInfo::ordinal(std::string_view text) const {
  auto it = std::find(texts.begin(), texts.end(), text);
  return it == texts.end() ? -1 : static_cast<int>(it - texts.begin());
}

ClassInfo::ClassInfo(std::string_view ns, std::string_view xmlName, const ClassInfo* base,
                     std::unique_ptr<TRemotable> (*create)(),
                     std::initializer_list<MemberInfo> members)
    : ns(ns), xmlName(xmlName), base(base), create(create), members(members) {}

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

} // namespace vokr::schema
