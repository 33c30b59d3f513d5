#include "schema/mtom.h"

#include <algorithm>

#include "platform/error.h"

namespace vokr::schema {

std::string contentIdOf(std::string_view href) {
  if (href.substr(0, 4) != "cid:") return {};
  href.remove_prefix(4);
  std::string id;
  for (size_t i = 0; i < href.size(); ++i) {
    auto hex = [](char c) {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    if (href[i] == '%' && i + 2 < href.size() && hex(href[i + 1]) >= 0 && hex(href[i + 2]) >= 0) {
      id += static_cast<char>(hex(href[i + 1]) * 16 + hex(href[i + 2]));
      i += 2;
    } else {
      id += href[i];
    }
  }
  return id;
}

MtomParts::MtomParts(std::string_view boundary, std::string_view start, uint64_t contentLength,
                     RootSink root)
    : splitter_(boundary, *this), root_(std::move(root)), rootId_(start),
      contentLength_(contentLength) {}

void MtomParts::feed(const char* data, size_t n) {
  chunkStart_ = consumed_;
  consumed_ += n;
  splitter_.feed(data, n);
}

void MtomParts::finish() {
  splitter_.finish();
  if (!rootSeen_) throw Error(ErrorKind::XmlReadError, "multipart answer without its root part");
  if (attachment_) releaseRoom(*attachment_);
}

void MtomParts::partBegin(std::string_view contentId) {
  if (attachment_) releaseRoom(*attachment_);
  if (!rootSeen_ && (rootId_.empty() || contentId == rootId_)) {
    rootSeen_ = true;
    attachment_ = nullptr;
    return;
  }
  attachment_ = &parts_[std::string(contentId)];
  attachment_->clear();
  attachmentRoom_ = roomLeft(contentLength_, chunkStart_, false);
}

void MtomParts::partData(const char* data, size_t n) {
  if (attachment_) {
    growRoom(*attachment_, n, attachmentRoom_);
    attachment_->insert(attachment_->end(), data, data + n);
  } else if (rootSeen_) {
    root_(data, n);
  }
}

void MtomParts::include(TByteSOAPArray& target, std::string_view href) {
  includes_.push_back({&target, contentIdOf(href)});
}

void MtomParts::resolveIncludes() {
  for (size_t i = 0; i < includes_.size(); ++i) {
    auto part = parts_.find(includes_[i].contentId);
    if (part == parts_.end())
      throw Error(ErrorKind::XmlReadError, "no part of the answer is named cid:" + includes_[i].contentId);
    auto later = includes_.begin() + static_cast<ptrdiff_t>(i) + 1;
    bool lastUse = std::none_of(later, includes_.end(), [&](const Include& other) {
      return other.contentId == includes_[i].contentId;
    });
    if (lastUse) includes_[i].target->bytes = std::move(part->second);
    else includes_[i].target->bytes = part->second;
  }
}

uint64_t roomLeft(uint64_t contentLength, uint64_t position, bool base64) {
  if (contentLength <= position) return 0;
  const uint64_t left = contentLength - position;
  return base64 ? left / 4 * 3 + 3 : left;
}

void growRoom(std::vector<uint8_t>& bytes, size_t more, uint64_t room) {
  const size_t needed = bytes.size() + more;
  if (needed <= bytes.capacity()) return;
  uint64_t grown = std::max<uint64_t>(needed, uint64_t(bytes.capacity()) * 4);
  if (room >= needed) grown = std::min(grown, room);
  bytes.reserve(static_cast<size_t>(std::min<uint64_t>(grown, bytes.max_size())));
}

void releaseRoom(std::vector<uint8_t>& bytes) {
  size_t unused = bytes.capacity() - bytes.size();
  if (unused > std::max<size_t>(bytes.size(), 1 << 20)) bytes.shrink_to_fit();
}

} // namespace vokr::schema
