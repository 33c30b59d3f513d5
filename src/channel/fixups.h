#pragma once
// The textual corrections the service needs in a few requests (namespace declarations and
// prefixes the writer cannot produce), and the CR LF line ends every request and dump gets.
#include <cstdint>
#include <string>
#include <string_view>

namespace vokr::schema { class Rope; }

namespace vokr::channel {

// Rewrites every line end (CR LF, a lone CR, a lone LF) to CR LF, chunk by chunk, so a line
// end split between two chunks is still one line end. finish() ends a text whose last line
// has no line end with CR LF. A byte-order mark at the start passes through and is no line.
class CrLfWriter {
public:
  void feed(std::string_view in, std::string& out);
  // The same for a whole text in place, without a copy when its line ends are CR LF already.
  void rewrite(std::string& text);
  // Bytes passed on unchanged that hold no lone CR or LF (base64 lines end in CR LF).
  void passOpaque(uint64_t n);
  void finish(std::string& out);

private:
  std::string_view passBom(std::string_view in, std::string* out);
  size_t bomSeen_ = 0;   // leading bytes that matched the byte-order mark so far
  bool started_ = false;
  bool afterCr_ = false;  // the last byte was a CR, already written as CR LF
  bool lineOpen_ = false;
};

// Applies the fix-ups of the operation named `operation` (the port type's method name,
// compared exactly) to the text segments of the request, then rewrites the line ends of the
// whole document to CR LF and ends it with CR LF. Every search text holds '<', '>' or '"',
// which neither base64 (whose segments are left as they are) nor the host's texts (escaped by
// the writer) ever hold: only markup the writer produced is changed.
void applyFixups(std::string_view operation, schema::Rope& request);

} // namespace vokr::channel
