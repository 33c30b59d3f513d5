#pragma once
// A request document as a rope: text segments, and base64 segments that stand for the bytes of
// a source, encoded (with CR LF after every 76 characters) only as they are sent or dumped.
// Whatever the attachments weigh, a request costs no more memory than its text. A secret
// segment (the password) is sent like text, and a dump shows it masked.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "schema/base64.h"
#include "schema/values.h"

namespace vokr::schema {

class Rope {
public:
  struct Segment {
    std::string text;                          // used when base64 is null
    std::shared_ptr<const ByteSource> base64;  // bytes to send base64-encoded
    bool secret = false;                       // text that no dump may show
  };

  void append(std::string_view text);  // joins the last text segment, unless that is secret
  void appendSecret(std::string_view text);  // a segment of its own
  void append(Rope&& other);           // moves the other rope's segments to the end
  void appendBase64(std::shared_ptr<const ByteSource> bytes);

  std::vector<Segment>& segments() { return segments_; }
  const std::vector<Segment>& segments() const { return segments_; }

  // Total length of the document as sent, base64 segments counted encoded.
  uint64_t size() const;

  // Reads the document from the start, encoding base64 segments on the way. Throws
  // vokr::Error (EInOutError) when a source delivers fewer bytes than its size announced.
  class Reader {
  public:
    explicit Reader(const Rope& rope) : rope_(rope) {}
    size_t read(char* buffer, size_t n);  // 0 at the end

  private:
    void encodeNextBlock(const ByteSource& source);

    const Rope& rope_;
    size_t segment_ = 0;
    uint64_t offset_ = 0;  // within the current segment: text bytes, or source bytes encoded
    std::vector<uint8_t> source_;  // the current block's bytes, read from the source
    std::string encoded_;          // their base64, in whole lines
    size_t encodedPos_ = 0;
  };

private:
  std::vector<Segment> segments_;
};

} // namespace vokr::schema
