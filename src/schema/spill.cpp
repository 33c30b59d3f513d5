#include "schema/spill.h"

#include <algorithm>
#include <cstring>

#include "platform/error.h"
#include "platform/paths.h"

namespace vokr::schema {

size_t ScratchBytes::read(uint64_t offset, void* buffer, size_t n) const {
  return platform::readAt(file_, "the temporary file of a large answer", offset, buffer, n);
}

uint64_t arrayRoom(uint64_t contentLength, uint64_t position, bool base64) {
  if (contentLength <= position) return 0;
  const uint64_t left = contentLength - position;
  return base64 ? left / 4 * 3 + 3 : left;
}

ByteArrayFiller::ByteArrayFiller(TByteSOAPArray& target, const SpillSettings& settings, uint64_t room)
    : target_(&target), settings_(&settings), room_(room) {
  target.bytes.clear();
  target.source.reset();
}

uint8_t* ByteArrayFiller::room(size_t n) {
  if (used_ + n > settings_->threshold && !memoryOnly_) {
    if (!file_.isOpen()) spill();
    if (file_.isOpen()) flush();
  }
  // Room is taken as bytes arrive, never on an announced length alone (a hostile header could
  // ask for gigabytes): fourfold at a time, which keeps the copies below a third of the bytes,
  // but not beyond what the answer can still hold, nor beyond the threshold while a scratch
  // file can take the rest.
  const size_t needed = used_ + n;
  if (needed > buffer_.capacity()) {
    uint64_t limit = room_ >= needed ? room_ : UINT64_MAX;
    if (!memoryOnly_) limit = std::min<uint64_t>(limit, settings_->threshold);
    const uint64_t grown = std::min<uint64_t>(uint64_t(buffer_.capacity()) * 4, limit);
    buffer_.reserve(size_t(std::min<uint64_t>(std::max<uint64_t>(grown, needed), buffer_.max_size())));
  }
  if (buffer_.size() < needed) buffer_.resize(needed);
  return buffer_.data() + used_;
}

void ByteArrayFiller::append(const void* bytes, size_t n) {
  if (n == 0) return;
  std::memcpy(room(n), bytes, n);
  grow(n);
}

void ByteArrayFiller::spill() {
  if (!settings_->folder.empty()) file_ = platform::createScratchFile(settings_->folder);
  if (!file_.isOpen()) file_ = platform::createScratchFile(platform::temporaryDirectory());
  // With no folder to take it, the array stays in memory, as far as memory goes.
  memoryOnly_ = !file_.isOpen();
}

void ByteArrayFiller::flush() {
  if (!file_.writeAll(buffer_.data(), used_))
    throw Error(ErrorKind::InOutError, "cannot write the temporary file of a large answer");
  inFile_ += used_;
  used_ = 0;
}

void ByteArrayFiller::finish() {
  if (file_.isOpen()) {
    flush();
    buffer_ = {};
    target_->source = std::make_shared<ScratchBytes>(std::move(file_), inFile_);
    return;
  }
  buffer_.resize(used_);
  // Room reserved far beyond what was used is given back, so that several arrays of one answer
  // do not each hold the reservation; the copy this takes is smaller than the room freed.
  if (buffer_.capacity() - used_ > std::max<size_t>(used_, 1 << 20)) buffer_.shrink_to_fit();
  target_->bytes = std::move(buffer_);
}

} // namespace vokr::schema
