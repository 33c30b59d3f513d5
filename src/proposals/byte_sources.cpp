#include "proposals/byte_sources.h"

#include <algorithm>
#include <cstring>

namespace vokr::proposals {

size_t StringSource::read(uint64_t offset, void* buffer, size_t n) const {
  if (offset >= bytes_.size()) return 0;
  const size_t take = std::min<uint64_t>(n, bytes_.size() - offset);
  std::memcpy(buffer, bytes_.data() + offset, take);
  return take;
}

} // namespace vokr::proposals
