// The response reader of every operation, fed the same answer whole and in random chunks: the
// outcome must not depend on how the bytes arrive. Either both reads give the same object
// (compared member by member) or both fail with the same kind. (Not always with the same "not
// an envelope" verdict: libxml2 converts a declared encoding in blocks, so bytes it cannot
// convert may stop it before or after the document element, depending on the chunks.)
//
// Input: byte 0 the operation, byte 1 flags (1: MTOM, the first line is the Content-Type;
// 2: the Content-Length is given), bytes 2..5 the chunking seed, then the answer.
#include <cstring>
#include <memory>

#include "fuzz_support.h"
#include "platform/error.h"
#include "schema/reader.h"

using namespace vokr;

namespace {

constexpr size_t kHeader = 6;
constexpr uint8_t kMtom = 1, kContentLength = 2;

struct Outcome {
  std::string object;  // the field walk, empty after a failure
  std::string kind;    // the failure's kind, empty after a success
  bool notEnvelope = false;
  std::string message;

  std::string text() const {
    return kind.empty() ? object : kind + (notEnvelope ? " (not an envelope): " : ": ") + message;
  }
};

Outcome read(schema::Operation op, std::string_view contentType, uint64_t contentLength,
             std::string_view answer, fuzz::Chunks* chunks) {
  schema::ResponseReader reader(op, contentType, contentLength);
  Outcome outcome;
  try {
    fuzz::feedIn(chunks, answer, [&](const char* p, size_t n) { reader.feed(p, n); });
    std::unique_ptr<schema::TRemotable> object = reader.finish();
    fuzz::require(object != nullptr, "finish() gave no object and no error");
    outcome.object = fuzz::describe(*object);
  } catch (const Error& e) {
    outcome.kind = e.kindName();
    outcome.message = e.what();
    outcome.notEnvelope = reader.notEnvelope();
    fuzz::require(!outcome.kind.empty(), "a failure without a kind");
  }
  return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeader) return 0;
  auto op = static_cast<schema::Operation>(data[0] % schema::kOperationCount);
  const uint8_t flags = data[1];
  uint32_t seed;
  std::memcpy(&seed, data + 2, sizeof seed);
  std::string_view answer(reinterpret_cast<const char*>(data) + kHeader, size - kHeader);

  std::string_view contentType = "text/xml; charset=utf-8";
  if (flags & kMtom) {
    size_t eol = answer.find('\n');
    if (eol == std::string_view::npos) return 0;
    contentType = answer.substr(0, eol);
    if (contentType.ends_with('\r')) contentType.remove_suffix(1);
    answer.remove_prefix(eol + 1);
  }
  const uint64_t contentLength = (flags & kContentLength) ? answer.size() : 0;

  Outcome whole = read(op, contentType, contentLength, answer, nullptr);
  fuzz::Chunks chunks(seed);
  Outcome chunked = read(op, contentType, contentLength, answer, &chunks);
  if (whole.kind != chunked.kind || whole.object != chunked.object)
    fuzz::finding("the answer read whole and in chunks gave different outcomes", whole.text(),
                  chunked.text());
  return 0;
}
