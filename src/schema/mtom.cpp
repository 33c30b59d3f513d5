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
                     const SpillSettings& spill, RootSink root)
    : splitter_(boundary, *this), root_(std::move(root)), rootId_(start),
      contentLength_(contentLength), spill_(spill) {}

void MtomParts::feed(const char* data, size_t n) {
  chunkStart_ = consumed_;
  consumed_ += n;
  splitter_.feed(data, n);
}

void MtomParts::finish() {
  splitter_.finish();
  if (!rootSeen_) throw Error(ErrorKind::XmlReadError, "multipart answer without its root part");
  if (attachment_) attachment_->finish();
  attachment_.reset();
}

void MtomParts::partBegin(std::string_view contentId) {
  if (attachment_) attachment_->finish();
  attachment_.reset();
  if (!rootSeen_ && (rootId_.empty() || contentId == rootId_)) {
    rootSeen_ = true;
    return;
  }
  attachment_.emplace(parts_[std::string(contentId)], spill_, arrayRoom(contentLength_, chunkStart_, false));
}

void MtomParts::partData(const char* data, size_t n) {
  if (attachment_) attachment_->append(data, n);
  else if (rootSeen_) root_(data, n);
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
    if (lastUse) *includes_[i].target = std::move(part->second);
    else *includes_[i].target = part->second;
  }
}

} // namespace vokr::schema
