#include "schema/multipart.h"

#include <algorithm>
#include <cctype>

#include "platform/error.h"

namespace vokr::schema {

namespace {

constexpr size_t kMaxHeaderBytes = 64 * 1024;

[[noreturn]] void malformed(const std::string& what) {
  throw Error(ErrorKind::XmlReadError, "Malformed multipart answer: " + what);
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string_view unbracket(std::string_view s) {
  if (s.size() >= 2 && s.front() == '<' && s.back() == '>') return s.substr(1, s.size() - 2);
  return s;
}

} // namespace

MediaType parseMediaType(std::string_view contentType) {
  MediaType media;
  size_t semi = contentType.find(';');
  media.type = lower(trim(contentType.substr(0, semi)));
  std::string_view rest = semi == std::string_view::npos ? "" : contentType.substr(semi + 1);
  while (!rest.empty()) {
    size_t eq = rest.find('=');
    if (eq == std::string_view::npos) break;
    std::string name = lower(trim(rest.substr(0, eq)));
    rest.remove_prefix(eq + 1);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    std::string value;
    if (!rest.empty() && rest.front() == '"') {
      size_t i = 1;
      for (; i < rest.size() && rest[i] != '"'; ++i) {
        if (rest[i] == '\\' && i + 1 < rest.size()) ++i;
        value += rest[i];
      }
      rest.remove_prefix(std::min(rest.size(), i + 1));
      size_t next = rest.find(';');
      rest.remove_prefix(next == std::string_view::npos ? rest.size() : next + 1);
    } else {
      size_t next = rest.find(';');
      value = trim(rest.substr(0, next));
      rest.remove_prefix(next == std::string_view::npos ? rest.size() : next + 1);
    }
    if (name == "boundary") media.boundary = value;
    else if (name == "start") media.start = unbracket(value);
  }
  return media;
}

MultipartSplitter::MultipartSplitter(std::string_view boundary, Handler& handler)
    : handler_(handler), delimiter_("\r\n--" + std::string(boundary)) {
  // The first delimiter may open the body: seen as if a line end stood before it.
  pending_ = "\r\n";
}

void MultipartSplitter::headerLine(std::string_view line) {
  size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  std::string name = lower(trim(line.substr(0, colon)));
  std::string_view value = trim(line.substr(colon + 1));
  if (name == "content-id") {
    contentId_ = unbracket(value);
  } else if (name == "content-transfer-encoding") {
    std::string encoding = lower(value);
    if (encoding != "binary" && encoding != "8bit" && encoding != "7bit")
      malformed("unsupported transfer encoding " + std::string(value));
  }
}

void MultipartSplitter::feed(const char* data, size_t n) {
  pending_.append(data, n);
  std::string_view window = pending_;
  while (!window.empty()) {
    switch (state_) {
      case State::preamble:
      case State::body: {
        size_t at = window.find(delimiter_);
        if (at == std::string_view::npos) {
          // Keep what may be the start of a delimiter split across two chunks.
          size_t keep = std::min(window.size(), delimiter_.size() - 1);
          if (state_ == State::body) handler_.partData(window.data(), window.size() - keep);
          window.remove_prefix(window.size() - keep);
          pending_ = std::string(window);
          return;
        }
        if (state_ == State::body) handler_.partData(window.data(), at);
        window.remove_prefix(at + delimiter_.size());
        state_ = State::afterDelimiter;
        break;
      }
      case State::afterDelimiter:
        if (window.size() < 2) {
          pending_ = std::string(window);
          return;
        }
        if (window.substr(0, 2) == "--") {
          state_ = State::epilogue;
          window = {};
          break;
        }
        state_ = State::padding;
        break;
      case State::padding: {
        size_t lf = window.find('\n');
        if (lf == std::string_view::npos) {
          window = {};
          break;
        }
        window.remove_prefix(lf + 1);
        state_ = State::headers;
        contentId_.clear();
        headerBytes_ = 0;
        break;
      }
      case State::headers: {
        size_t lf = window.find('\n');
        if (lf == std::string_view::npos) {
          if (headerBytes_ + window.size() > kMaxHeaderBytes) malformed("part headers too long");
          pending_ = std::string(window);
          return;
        }
        std::string_view line = window.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        headerBytes_ += lf + 1;
        if (headerBytes_ > kMaxHeaderBytes) malformed("part headers too long");
        window.remove_prefix(lf + 1);
        if (line.empty()) {
          handler_.partBegin(contentId_);
          state_ = State::body;
        } else {
          headerLine(line);
        }
        break;
      }
      case State::epilogue: window = {}; break;
    }
  }
  pending_.clear();
}

void MultipartSplitter::finish() {
  if (state_ != State::epilogue) malformed("the closing boundary is missing");
}

} // namespace vokr::schema
