#pragma once
// An answer in MTOM/XOP form (multipart/related): the root part is the SOAP envelope, handed
// on to be parsed as it arrives; every other part is kept under its Content-ID until the end,
// when each byte array that names a part in an xop:Include receives that part's bytes.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "schema/multipart.h"
#include "schema/values.h"

namespace vokr::schema {

class MtomParts final : MultipartSplitter::Handler {
public:
  using RootSink = std::function<void(const char* data, size_t n)>;

  // `start` is the root part's Content-ID (empty: the first part is the root). `contentLength`
  // (0: unknown) bounds the room a part's bytes are given, see growRoom().
  MtomParts(std::string_view boundary, std::string_view start, uint64_t contentLength, RootSink root);

  // Throw vokr::Error (EXmlReadError) for a malformed body.
  void feed(const char* data, size_t n);
  void finish();

  // Where in the body the chunk being fed begins.
  uint64_t chunkStart() const { return chunkStart_; }

  // An xop:Include of `target`; `href` is a cid: URL naming the part.
  void include(TByteSOAPArray& target, std::string_view href);
  // Fills every included array from its part. Throws EXmlReadError for a part that is missing.
  void resolveIncludes();

private:
  void partBegin(std::string_view contentId) override;
  void partData(const char* data, size_t n) override;

  struct Include {
    TByteSOAPArray* target;
    std::string contentId;
  };

  MultipartSplitter splitter_;
  RootSink root_;
  std::string rootId_;
  uint64_t contentLength_;
  uint64_t consumed_ = 0;
  uint64_t chunkStart_ = 0;
  bool rootSeen_ = false;
  std::vector<uint8_t>* attachment_ = nullptr;  // the part being received, if not the root
  uint64_t attachmentRoom_ = 0;
  std::map<std::string, std::vector<uint8_t>> parts_;
  std::vector<Include> includes_;
};

// The Content-ID a cid: URL names (percent-decoded); empty for another kind of URL.
std::string contentIdOf(std::string_view href);

// The most a byte array that begins at `position` of an answer of `contentLength` bytes can
// hold: what is left of the answer, decoded when it comes as base64 text. 0 when unknown.
uint64_t roomLeft(uint64_t contentLength, uint64_t position, bool base64);

// Makes room for `more` bytes at the end of `bytes`. Room is taken as bytes arrive, never on an
// announced length alone (a hostile header could ask for gigabytes): the capacity grows
// fourfold at a time, which keeps the copies of a large file below a third of its size, but
// not beyond `room` (0: unknown), so that the last step does not overshoot the answer.
void growRoom(std::vector<uint8_t>& bytes, size_t more, uint64_t room);

// Gives back reserved room that stayed far from used, so that several arrays of one answer
// do not each hold the answer's size; the copy this takes is smaller than the room freed.
void releaseRoom(std::vector<uint8_t>& bytes);

} // namespace vokr::schema
