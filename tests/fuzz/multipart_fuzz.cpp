// The MIME multipart splitter of MTOM answers and the Content-Type parser in front of it.
//
// Input: the Content-Type up to the first line end, then the body. Properties:
// - the body split whole and in random chunks gives the same parts (Content-ID and bytes) and
//   the same outcome;
// - parts written out again under the same boundary (when it holds no line end) split into
//   the very same parts: no byte of a part is lost, added or mistaken for a delimiter.
#include <vector>

#include "fuzz_support.h"
#include "platform/error.h"
#include "schema/multipart.h"

using namespace vokr;

namespace {

struct Part {
  std::string contentId;
  std::string data;
};

struct Recorder final : schema::MultipartSplitter::Handler {
  std::vector<Part> parts;
  void partBegin(std::string_view contentId) override { parts.push_back({std::string(contentId), {}}); }
  void partData(const char* data, size_t n) override {
    fuzz::require(!parts.empty(), "part data before any part began");
    parts.back().data.append(data, n);
  }
};

struct Outcome {
  std::vector<Part> parts;
  std::string error;  // empty when the body was complete

  std::string text() const {
    std::string out;
    for (const Part& p : parts)
      out += "<" + p.contentId + "> " + std::to_string(p.data.size()) + ":" + p.data + "\n";
    return out + (error.empty() ? "complete" : "error: " + error);
  }
};

Outcome split(const std::string& boundary, std::string_view body, fuzz::Chunks* chunks) {
  Recorder recorder;
  schema::MultipartSplitter splitter(boundary, recorder);
  Outcome outcome;
  try {
    fuzz::feedIn(chunks, body, [&](const char* p, size_t n) { splitter.feed(p, n); });
    splitter.finish();
  } catch (const Error& e) {
    fuzz::requireEqual("EXmlReadError", e.kindName(), "a multipart failure of another kind");
    outcome.error = e.what();
  }
  outcome.parts = std::move(recorder.parts);
  return outcome;
}

// The parts under the boundary, each with its Content-ID, and the closing delimiter.
std::string written(const std::string& boundary, const std::vector<Part>& parts) {
  std::string body;
  for (const Part& p : parts)
    body += "--" + boundary + "\r\nContent-ID: <" + p.contentId + ">\r\n\r\n" + p.data + "\r\n";
  return body + "--" + boundary + "--\r\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t eol = input.find('\n');
  if (eol == std::string_view::npos) return 0;
  schema::MediaType media = schema::parseMediaType(input.substr(0, eol));
  if (media.boundary.empty()) return 0;  // the reader refuses such an answer before splitting
  std::string_view body = input.substr(eol + 1);

  Outcome whole = split(media.boundary, body, nullptr);
  fuzz::Chunks chunks(fuzz::hashOf(input));
  Outcome chunked = split(media.boundary, body, &chunks);
  fuzz::requireEqual(whole.text(), chunked.text(), "the body split whole and in chunks gave different parts");

  if (media.boundary.find_first_of("\r\n") != std::string::npos) return 0;
  // A Content-ID is one header line: trimmed, without its angle brackets, never with a line end.
  std::vector<Part> parts;
  for (const Part& p : whole.parts)
    if (p.contentId.find_first_of("\r\n") == std::string::npos) parts.push_back(p);
  Outcome again = split(media.boundary, written(media.boundary, parts), nullptr);
  fuzz::requireEqual(Outcome{parts, {}}.text(), again.text(), "parts written out again split differently");
  return 0;
}
