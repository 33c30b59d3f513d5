#pragma once
// Reads a response as it arrives: a push parser fed chunk by chunk fills a new object of the
// operation's response class; no tree of the answer is built. Answers in MTOM/XOP form
// (multipart/related) are read too.
#include <cstdint>
#include <memory>
#include <string_view>

#include "schema/registry.h"
#include "schema/spill.h"

namespace vokr::schema {

class TRemotable;
struct ClassInfo;

class ResponseReader {
public:
  // `contentType` is the answer's Content-Type header (may be empty). `contentLength`, when
  // known (non-zero), bounds what a byte array can hold: its room is reserved at once, so that
  // a file is decoded in place without the copies of a growing buffer. Byte arrays larger
  // than the threshold of `spill` go to scratch files.
  ResponseReader(Operation op, std::string_view contentType, uint64_t contentLength = 0,
                 SpillSettings spill = {});
  // Reads into an object of any described class.
  ResponseReader(const ClassInfo& responseClass, std::string_view contentType,
                 uint64_t contentLength = 0, SpillSettings spill = {});
  ~ResponseReader();
  ResponseReader(const ResponseReader&) = delete;
  ResponseReader& operator=(const ResponseReader&) = delete;

  // Throws vokr::Error (EXmlReadError) as soon as the text cannot be a valid answer.
  void feed(const char* data, size_t n);
  // Ends the document. Returns the response object, or throws vokr::Error:
  // ERemotableException with the faultstring for a SOAP fault, EXmlReadError otherwise.
  // Throws EXmlReadError with `notEnvelope()` true when the text is no SOAP envelope at all,
  // so that the channel can report a non-SOAP HTTP error answer instead.
  std::unique_ptr<TRemotable> finish();
  bool notEnvelope() const;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace vokr::schema
