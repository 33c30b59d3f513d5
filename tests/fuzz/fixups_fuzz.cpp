// The request fix-ups and the CR LF rewrite over a rope of text and base64 segments.
//
// Input: byte 0 picks the operation (one of those with fix-ups, or one without), the rest is a
// request text in which a NUL byte stands for a base64 segment (the bytes up to the next NUL are
// its source) and, for an operation without fix-ups, a 0x01 byte splits the text into two
// segments. Properties:
// - the rope gives the same document as the fix-ups applied to its whole text: a base64
//   segment, which the writer always puts between '>' and '<', is never searched, and a line
//   end split between two segments is still one line end;
// - without fix-ups the document is the text with every line end (CR LF, CR, LF) made CR LF and
//   a CR LF after an open last line;
// - in any case no lone CR or LF is left, and the document ends with CR LF.
#include <algorithm>
#include <memory>
#include <string>

#include "channel/fixups.h"
#include "fuzz_support.h"
#include "proposals/byte_sources.h"
#include "rope_text.h"
#include "schema/rope.h"

using namespace vokr;

namespace {

constexpr std::string_view kOperations[] = {"exportVF",      "zalozNavrhZDP", "zalozNavrhZPG",
                                            "zalozRizeniPM", "vlozParcelu",   "seznamRizeniPM"};
constexpr std::string_view kWithoutFixups = "seznamRizeniPM";

// The rope the input describes, base64 segments between '>' and '<' as the writer makes them.
schema::Rope ropeOf(std::string_view input, bool splitText) {
  schema::Rope rope;
  auto appendText = [&](std::string_view text) {
    for (size_t at; splitText && (at = text.find('\x01')) != std::string_view::npos;) {
      rope.append(text.substr(0, at));
      rope.segments().push_back({});  // the next text starts a segment of its own
      text.remove_prefix(at + 1);
    }
    std::string plain(text);
    std::erase(plain, '\x01');
    rope.append(plain);
  };
  bool base64 = false;
  for (size_t from = 0; from <= input.size();) {
    size_t nul = std::min(input.find('\0', from), input.size());
    std::string_view piece = input.substr(from, nul - from);
    if (base64) {
      appendText(">");
      rope.appendBase64(std::make_shared<proposals::StringSource>(std::string(piece)));
      appendText("<");
    }
    else appendText(piece);
    base64 = !base64;
    from = nul + 1;
  }
  return rope;
}

std::string crlfReference(std::string_view text) {
  std::string out;
  size_t bom = 0;
  while (bom < 3 && bom < text.size() && text[bom] == "\xEF\xBB\xBF"[bom]) ++bom;
  out.append(text.substr(0, bom));
  bool open = false;
  for (size_t i = bom; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      open = false;
    } else {
      out += text[i];
      open = true;
    }
  }
  if (open) out += "\r\n";
  return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string_view operation = kOperations[data[0] % std::size(kOperations)];
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const bool withoutFixups = operation == kWithoutFixups;

  schema::Rope rope = ropeOf(input, withoutFixups);
  const std::string before = test::ropeText(rope);
  channel::applyFixups(operation, rope);
  const std::string document = test::ropeText(rope);

  schema::Rope whole;
  whole.append(before);
  channel::applyFixups(operation, whole);
  fuzz::requireEqual(test::ropeText(whole), document, "the rope and its whole text were fixed up differently");
  if (withoutFixups) fuzz::requireEqual(crlfReference(before), document, "line ends rewritten wrongly");

  for (size_t at = document.find_first_of("\r\n"); at != std::string::npos;
       at = document.find_first_of("\r\n", at + 2))
    fuzz::require(document.compare(at, 2, "\r\n") == 0, "a lone CR or LF in the document");
  // Only a document that is nothing but (the start of) a byte-order mark has no line.
  fuzz::require(document.ends_with("\r\n") || std::string_view("\xEF\xBB\xBF").starts_with(document),
                "the document does not end with CR LF");
  return 0;
}
