#pragma once
// Value types that message classes are made of. Texts are UTF-8 inside the library.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace vokr::schema {

// Decimal and date-time values travel as text, exactly as held: never parsed or normalised
// on the way out (date-times are checked when read). A member "not set" is an empty optional.
struct TXSDecimal {
  std::string text;
};
struct TXSDateTime {
  std::string text;
};

// An optional member: written only when its presence flag is set, which only set() does.
template <class T> struct Optional {
  T value{};
  bool present = false;
  void set(T v) {
    value = std::move(v);
    present = true;
  }
};

// The object or value of an optional member that is present and set; null when the member is
// absent, or present but nil (an answer's empty element).
template <class T> const T* presentValue(const Optional<std::unique_ptr<T>>& m) {
  return m.present ? m.value.get() : nullptr;
}
template <class T> const T* presentValue(const Optional<std::optional<T>>& m) {
  return m.present && m.value ? &*m.value : nullptr;
}

} // namespace vokr::schema

namespace vokr::schema {

// Bytes read on demand: how a request carries an attachment file or a signed document without
// holding a second copy of it. read() fills up to n bytes at offset and returns how many.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  virtual size_t read(uint64_t offset, void* buffer, size_t n) const = 0;
  // The open file that holds exactly these bytes from its start, if there is one: the OS can
  // then copy them without passing them through memory.
  virtual const platform::OpenFile* file() const { return nullptr; }
};

// The byte array kind: base64 on the wire. A request's array is a source read as it is sent;
// a response's array holds the decoded bytes, or, when they are many, a source reading them
// from the scratch file they went to (schema/spill.h).
struct TByteSOAPArray {
  std::vector<uint8_t> bytes;
  std::shared_ptr<const ByteSource> source;

  uint64_t size() const { return source ? source->size() : bytes.size(); }
  bool empty() const { return size() == 0; }
};

} // namespace vokr::schema
