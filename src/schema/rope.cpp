#include "schema/rope.h"

#include <algorithm>
#include <cstring>

#include "platform/error.h"

namespace vokr::schema {

namespace {
constexpr size_t kBlockLines = 1024;  // lines encoded per source read
} // namespace

void Rope::append(std::string_view text) {
  if (segments_.empty() || segments_.back().base64 || segments_.back().secret)
    segments_.push_back({});
  segments_.back().text.append(text);
}

void Rope::appendSecret(std::string_view text) {
  segments_.push_back({std::string(text), nullptr, true});
}

void Rope::append(Rope&& other) {
  for (Segment& s : other.segments_) {
    if (s.base64 || s.secret) segments_.push_back(std::move(s));
    else append(s.text);
  }
  other.segments_.clear();
}

void Rope::appendBase64(std::shared_ptr<const ByteSource> bytes) {
  segments_.push_back({{}, std::move(bytes)});
}

uint64_t Rope::size() const {
  uint64_t total = 0;
  for (const Segment& s : segments_)
    total += s.base64 ? base64EncodedSize(s.base64->size()) : s.text.size();
  return total;
}

// A block is a run of whole 57-byte lines (the last may be shorter), so every block's text
// ends where a line ends and the CR LF pairs fall where they would in one long encoding.
void Rope::Reader::encodeNextBlock(const ByteSource& source) {
  uint64_t left = source.size() - offset_;
  size_t want = static_cast<size_t>(std::min<uint64_t>(left, kBase64LineBytes * kBlockLines));
  source_.resize(want);
  size_t got = 0;
  while (got < want) {
    size_t n = source.read(offset_ + got, source_.data() + got, want - got);
    if (n == 0) throw Error(ErrorKind::InOutError, "attachment ended before its announced size");
    got += n;
  }
  encoded_.resize(static_cast<size_t>(base64EncodedSize(want)));
  encodeBase64Lines(source_.data(), want, encoded_.data());
  encodedPos_ = 0;
  offset_ += want;
}

size_t Rope::Reader::read(char* buffer, size_t n) {
  size_t done = 0;
  const auto& segments = rope_.segments();
  while (done < n && segment_ < segments.size()) {
    const Segment& s = segments[segment_];
    if (!s.base64) {
      size_t take = static_cast<size_t>(std::min<uint64_t>(n - done, s.text.size() - offset_));
      std::memcpy(buffer + done, s.text.data() + offset_, take);
      done += take;
      offset_ += take;
      if (offset_ == s.text.size()) {
        ++segment_;
        offset_ = 0;
      }
      continue;
    }
    if (encodedPos_ == encoded_.size()) {
      if (offset_ == s.base64->size()) {
        ++segment_;
        offset_ = 0;
        encoded_.clear();
        encodedPos_ = 0;
        continue;
      }
      encodeNextBlock(*s.base64);
    }
    size_t take = std::min(n - done, encoded_.size() - encodedPos_);
    std::memcpy(buffer + done, encoded_.data() + encodedPos_, take);
    done += take;
    encodedPos_ += take;
  }
  return done;
}

} // namespace vokr::schema
