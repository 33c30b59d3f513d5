#pragma once
// Byte arrays of a response as they are read: in memory while they are small, in a scratch
// file once they grow past a few MB, so that a file of any size costs the same little memory.
// The scratch file has no name and is gone once the array holding it is released: with its
// response, when the call fails, or when the library is unloaded.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"
#include "schema/values.h"

namespace vokr::schema {

struct SpillSettings {
  std::string folder;           // where scratch files go; the temporary folder when it takes none
  size_t threshold = 4u << 20;  // the most bytes of an array held in memory
};

// The content of an array that went to a scratch file.
class ScratchBytes final : public ByteSource {
public:
  ScratchBytes(platform::OpenFile file, uint64_t size) : file_(std::move(file)), size_(size) {}
  uint64_t size() const override { return size_; }
  size_t read(uint64_t offset, void* buffer, size_t n) const override;
  const platform::OpenFile* file() const override { return &file_; }

private:
  platform::OpenFile file_;
  uint64_t size_;
};

// The most bytes an array beginning at `position` of an answer of `contentLength` bytes (0:
// unknown) can hold: what is left of the answer, decoded when it comes as base64 text.
uint64_t arrayRoom(uint64_t contentLength, uint64_t position, bool base64);

// Fills one array from its start: empty until finish(), which makes what was written its
// content.
class ByteArrayFiller {
public:
  // `room`: the most the array can come to hold, as far as the answer's length tells (0:
  // unknown); memory is never taken beyond it.
  ByteArrayFiller(TByteSOAPArray& target, const SpillSettings& settings, uint64_t room);
  // Room for n more bytes; grow() says how many of them were written.
  uint8_t* room(size_t n);
  void grow(size_t n) { used_ += n; }
  void append(const void* bytes, size_t n);
  void finish();

private:
  void spill();  // the bytes so far to a new scratch file, if a folder takes one
  void flush();

  TByteSOAPArray* target_;
  const SpillSettings* settings_;
  std::vector<uint8_t> buffer_;  // the content, or what has not yet gone to the file
  size_t used_ = 0;
  uint64_t room_;
  platform::OpenFile file_;
  uint64_t inFile_ = 0;
  bool memoryOnly_ = false;  // no folder took a scratch file
};

} // namespace vokr::schema
