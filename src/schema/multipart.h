#pragma once
// Splits a multipart/related body (an MTOM answer) into its parts as the bytes arrive, so
// that the root part can be parsed and the others kept without holding the body whole.
#include <string>
#include <string_view>

namespace vokr::schema {

struct MediaType {
  std::string type;  // lower case, e.g. "multipart/related"
  std::string boundary;
  std::string start;  // Content-ID of the root part, without angle brackets
};
MediaType parseMediaType(std::string_view contentType);

class MultipartSplitter {
public:
  class Handler {
  public:
    virtual ~Handler() = default;
    // `contentId` without angle brackets; empty when the part has none.
    virtual void partBegin(std::string_view contentId) = 0;
    virtual void partData(const char* data, size_t n) = 0;
  };

  MultipartSplitter(std::string_view boundary, Handler& handler);

  // Throw vokr::Error (EXmlReadError) for a malformed body.
  void feed(const char* data, size_t n);
  void finish();

private:
  enum class State { preamble, afterDelimiter, padding, headers, body, epilogue };

  void headerLine(std::string_view line);

  Handler& handler_;
  std::string delimiter_;  // CR LF "--" boundary
  State state_ = State::preamble;
  std::string pending_;    // bytes that may begin a delimiter, or an unfinished header line
  std::string contentId_;
  size_t headerBytes_ = 0;
};

} // namespace vokr::schema
