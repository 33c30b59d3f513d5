#include "channel/fixups.h"

#include <vector>

#include "schema/namespaces.h"
#include "schema/rope.h"

namespace vokr::channel {

namespace {

struct Replacement {
  std::string search;
  std::string replace;
};

struct OperationFixups {
  std::string_view operation;
  std::vector<Replacement> replacements;  // in order, each on the result of the one before
};

std::string quoted(std::string_view uri) { return "\"" + std::string(uri) + "\""; }

// The corrections per operation. The writer puts no prefix on body elements and every list item
// in its list's namespace; the service wants GML elements prefixed (and the ring under its real
// name), the attachment identifier unqualified, and a few code lists in the common types
// namespace.
const std::vector<OperationFixups>& fixupTable() {
  static const std::vector<OperationFixups> table = [] {
    const std::string xsiDeclaration = "xmlns:xsi=" + quoted(schema::ns::xsi);
    const Replacement gmlPrefix{xsiDeclaration, xsiDeclaration + " xmlns:gml=" + quoted(schema::ns::gml)};
    const Replacement plainAttachmentId{"<prilohaNavrhu NS2:idPrilohy", "<prilohaNavrhu idPrilohy"};
    const std::string inCommonTypes = " xmlns=" + quoted(schema::ns::commonTypes) + ">";
    const std::string vlozParcelu = "<VlozParceluRequest xmlns=" + quoted(schema::ns::types);
    const std::string polygon = "Polygon xmlns=" + quoted(schema::ns::gml);
    return std::vector<OperationFixups>{
        {"exportVF",
         {gmlPrefix,
          {"<Polygon", "<gml:Polygon"},
          {"</Polygon", "</gml:Polygon"},
          {"exterior>", "gml:exterior>"},
          {"<posList", "<gml:posList"},
          {"</posList", "</gml:posList"},
          {"AbstractRing>", "gml:LinearRing>"},
          {polygon + " id=", polygon + " gml:id="}}},
        {"zalozNavrhZDP", {gmlPrefix, plainAttachmentId}},
        {"zalozNavrhZPG", {plainAttachmentId}},
        {"zalozRizeniPM",
         {{"<katuzeKod>", "<katuzeKod" + inCommonTypes}, {"<idParcely>", "<idParcely" + inCommonTypes}}},
        {"vlozParcelu",
         {{vlozParcelu + ">", vlozParcelu + " xmlns:v21=" + quoted(schema::ns::commonTypes) + ">"},
          {"<idParcely>", "<v21:idParcely>"},
          {"</idParcely>", "</v21:idParcely>"}}},
    };
  }();
  return table;
}

// Every occurrence, left to right; a replaced text is not searched again. No copy when the
// search text does not occur.
void replaceAll(std::string& text, const Replacement& r) {
  size_t at = text.find(r.search);
  if (at == std::string::npos) return;
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  size_t from = 0;
  for (; at != std::string::npos; at = text.find(r.search, from)) {
    out.append(text, from, at - from).append(r.replace);
    from = at + r.search.size();
  }
  out.append(text, from, std::string::npos);
  text = std::move(out);
}

constexpr char kBom[] = "\xEF\xBB\xBF";

} // namespace

// Passes the leading bytes that belong to a byte-order mark; returns the rest.
std::string_view CrLfWriter::passBom(std::string_view in, std::string* out) {
  while (!started_ && !in.empty()) {
    if (bomSeen_ < 3 && in.front() == kBom[bomSeen_]) {
      if (out) *out += in.front();
      in.remove_prefix(1);
      ++bomSeen_;
    } else {
      started_ = true;
    }
  }
  return in;
}

void CrLfWriter::feed(std::string_view in, std::string& out) {
  in = passBom(in, &out);
  while (!in.empty()) {
    if (afterCr_ && in.front() == '\n') in.remove_prefix(1);  // the LF of a CR LF split across chunks
    afterCr_ = false;
    size_t end = in.find_first_of("\r\n");
    std::string_view line = in.substr(0, end);
    out.append(line);
    if (end == std::string_view::npos) {
      lineOpen_ = lineOpen_ || !line.empty();
      return;
    }
    out.append("\r\n");
    lineOpen_ = false;
    afterCr_ = in[end] == '\r';
    in.remove_prefix(end + 1);
  }
}

void CrLfWriter::rewrite(std::string& text) {
  bool clean = !afterCr_ || text.empty() || text.front() != '\n';
  for (size_t at = text.find_first_of("\r\n"); clean && at != std::string::npos;
       at = text.find_first_of("\r\n", at + 2))
    clean = text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n';
  if (!clean) {
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 2);
    feed(text, out);
    text = std::move(out);
    return;
  }
  std::string_view rest = passBom(text, nullptr);
  if (!rest.empty()) {
    afterCr_ = false;
    lineOpen_ = !rest.ends_with("\r\n");
  }
}

void CrLfWriter::passOpaque(uint64_t n) {
  if (n == 0) return;
  started_ = true;
  afterCr_ = false;
  lineOpen_ = true;
}

void CrLfWriter::finish(std::string& out) {
  if (lineOpen_) out.append("\r\n");
  lineOpen_ = false;
}

void applyFixups(std::string_view operation, schema::Rope& request) {
  const OperationFixups* fixups = nullptr;
  for (const OperationFixups& f : fixupTable())
    if (f.operation == operation) fixups = &f;

  CrLfWriter crlf;
  auto& segments = request.segments();
  for (schema::Rope::Segment& segment : segments) {
    if (segment.base64) {
      crlf.passOpaque(schema::base64EncodedSize(segment.base64->size()));
      continue;
    }
    if (fixups)
      for (const Replacement& r : fixups->replacements) replaceAll(segment.text, r);
    crlf.rewrite(segment.text);
  }
  std::string last;
  crlf.finish(last);
  if (!last.empty()) request.append(last);
}

} // namespace vokr::channel
