#pragma once
// An answer in MTOM/XOP form (multipart/related): the root part is the SOAP envelope, handed
// on to be parsed as it arrives; every other part is kept under its Content-ID until the end,
// when each byte array that names a part in an xop:Include receives that part's bytes.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "schema/multipart.h"
#include "schema/spill.h"
#include "schema/values.h"

namespace vokr::schema {

class MtomParts final : MultipartSplitter::Handler {
public:
  using RootSink = std::function<void(const char* data, size_t n)>;

  // `start` is the root part's Content-ID (empty: the first part is the root). For
  // `contentLength`, see arrayRoom(); large parts go to scratch files as `spill` says.
  MtomParts(std::string_view boundary, std::string_view start, uint64_t contentLength,
            const SpillSettings& spill, RootSink root);

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
  const SpillSettings& spill_;
  bool rootSeen_ = false;
  std::optional<ByteArrayFiller> attachment_;  // fills the part being received, if not the root
  std::map<std::string, TByteSOAPArray> parts_;
  std::vector<Include> includes_;
};

// The Content-ID a cid: URL names (percent-decoded); empty for another kind of URL.
std::string contentIdOf(std::string_view href);

} // namespace vokr::schema
