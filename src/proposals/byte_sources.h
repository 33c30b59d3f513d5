#pragma once
// The byte sources a proposal request is sent from: the signed document, held in memory once,
// and the attachment files, opened before the call and read piece by piece while the request
// goes out, so that an attachment of hundreds of MB never sits in memory.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/files.h"
#include "schema/values.h"

namespace vokr::proposals {

// Bytes the source owns.
class StringSource final : public schema::ByteSource {
public:
  explicit StringSource(std::string bytes) : bytes_(std::move(bytes)) {}
  uint64_t size() const override { return bytes_.size(); }
  size_t read(uint64_t offset, void* buffer, size_t n) const override;

private:
  std::string bytes_;
};

// A regular file, open from construction to destruction, shared with others who read and write
// it meanwhile. Its size is taken when it is opened.
class FileSource final : public schema::ByteSource {
public:
  // Throws vokr::Error (EInOutError) when the file cannot be opened or is not a regular file.
  explicit FileSource(std::string path) : file_(std::move(path), "attachment") {}

  uint64_t size() const override { return file_.size(); }
  // Throws vokr::Error (EInOutError) when the file cannot be read.
  size_t read(uint64_t offset, void* buffer, size_t n) const override {
    return file_.readAt(offset, buffer, n);
  }

private:
  platform::InputFile file_;
};

} // namespace vokr::proposals
