#include "proposals/document_builder.h"

#include <array>

#include <libxml/parser.h>
#include <libxml/xmlsave.h>

#include "platform/error.h"
#include "plugin/host.h"
#include "schema/writer.h"

namespace vokr::proposals {

namespace {

// The template every inner document starts from. "geoCommmonTypes" is the service's spelling.
constexpr std::string_view kTemplate =
    "<?xml version=\"1.0\"?>\r\n"
    "<enx xmlns=\"http://katastr.cuzk.cz/enx/content/v2.2\""
    " xmlns:bt=\"http://katastr.cuzk.cz/baseTypes/v2.2\""
    " xmlns:ct=\"http://katastr.cuzk.cz/commonTypes/v2.2\""
    " xmlns:ds=\"http://www.w3.org/2000/09/xmldsig#\""
    " xmlns:geo=\"http://katastr.cuzk.cz/geoCommmonTypes/v2.2\""
    " xmlns:xs=\"http://www.w3.org/2001/XMLSchema\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"></enx>";

constexpr std::string_view kCommonPrefix = "ct:";

[[noreturn]] void raise(const std::string& message) { throw Error(ErrorKind::ProposalError, message); }

const xmlChar* xml(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

template <size_t N>
std::string_view enumerationCode(const char* type, const std::array<std::string_view, N>& codes,
                                 uint8_t value) {
  // Read as a signed byte, 128 to 255 are negative and so out of range like any value past
  // the last code; the message shows the byte unsigned.
  if (value >= N) raise(std::string("Chybná hodnota - ") + type + "=|" + std::to_string(value) + "|");
  return codes[value];
}

int appendOutput(void* context, const char* buffer, int len) {
  static_cast<std::string*>(context)->append(buffer, size_t(len));
  return len;
}

// libxml2 takes indentation from two settings of its own that belong to the whole process (one
// per thread), which a host using libxml2 itself relies on: they are set for one save and then
// given back as they were.
class IndentedOutput {
public:
  IndentedOutput() : indent_(xmlIndentTreeOutput), indentString_(xmlTreeIndentString) {
    xmlIndentTreeOutput = 1;
    xmlTreeIndentString = "  ";
  }
  ~IndentedOutput() {
    xmlIndentTreeOutput = indent_;
    xmlTreeIndentString = indentString_;
  }
  IndentedOutput(const IndentedOutput&) = delete;
  IndentedOutput& operator=(const IndentedOutput&) = delete;

private:
  int indent_;
  const char* indentString_;
};

} // namespace

DocumentBuilder::DocumentBuilder(std::string_view kind)
    : doc_(xmlReadMemory(kTemplate.data(), int(kTemplate.size()), nullptr, nullptr,
                         XML_PARSE_NONET)),
      current_(doc_ ? xmlDocGetRootElement(doc_) : nullptr) {
  if (!current_) {
    if (doc_) xmlFreeDoc(doc_);
    raise("Nelze vytvořit XML návrhu " + std::string(kind) + " (XMLDoc not active)");
  }
  content_ = xmlSearchNs(doc_, current_, nullptr);
  common_ = xmlSearchNs(doc_, current_, reinterpret_cast<const xmlChar*>("ct"));
}

DocumentBuilder::~DocumentBuilder() { xmlFreeDoc(doc_); }

xmlNodePtr DocumentBuilder::currentOrRaise(std::string_view name) const {
  if (!current_) raise("Nelze vytvořit XML node |" + std::string(name) + "|; aNode is not assigned");
  return current_;
}

xmlNodePtr DocumentBuilder::append(std::string_view name, std::string_view text) {
  xmlNodePtr parent = currentOrRaise(name);
  xmlNsPtr ns = content_;
  if (name.starts_with(kCommonPrefix)) {
    ns = common_;
    name.remove_prefix(kCommonPrefix.size());
  }
  schema::requireXmlText(text, name);
  // No text node at all for empty text, so that an empty element is written as one.
  std::string content(text);
  return xmlNewTextChild(parent, ns, xml(std::string(name)),
                         content.empty() ? nullptr : xml(content));
}

void DocumentBuilder::open(std::string_view name) { current_ = append(name, {}); }

void DocumentBuilder::close() {
  // Above the root there is only the document node, which holds no elements of ours.
  xmlNodePtr parent = current_ ? current_->parent : nullptr;
  current_ = parent && parent->type == XML_ELEMENT_NODE ? parent : nullptr;
}

void DocumentBuilder::forced(std::string_view name, std::string_view text) { append(name, text); }

void DocumentBuilder::optional(std::string_view name, std::string_view text) {
  currentOrRaise(name);
  if (!text.empty()) append(name, text);
}

void DocumentBuilder::attribute(std::string_view name, std::string_view value) {
  schema::requireXmlText(value, name);
  xmlSetProp(currentOrRaise(name), xml(std::string(name)), xml(std::string(value)));
}

std::string DocumentBuilder::serialize() const {
  // The declaration stays as the template has it (no encoding pseudo-attribute); the content
  // is saved as UTF-8 rather than as character references.
  std::string out = "<?xml version=\"";
  out += reinterpret_cast<const char*>(doc_->version);
  out += "\"?>\n";
  bool saved;
  {
    IndentedOutput indented;
    xmlSaveCtxtPtr save = xmlSaveToIO(appendOutput, nullptr, &out, "UTF-8",
                                      XML_SAVE_FORMAT | XML_SAVE_NO_DECL);
    saved = save && xmlSaveDoc(save, doc_) >= 0;
    if (save && xmlSaveClose(save) < 0) saved = false;
  }
  if (!saved) raise("Nelze uložit XML návrhu");
  return out;
}

std::string_view zpusobUhradyCode(TZpusobUhrady value) {
  static constexpr std::array<std::string_view, 5> codes{"H", "I", "K", "O", "U"};
  return enumerationCode("TZpusobUhrady", codes, value);
}

std::string_view zpusobPrevzetiCode(TZpusobPrevzeti value) {
  static constexpr std::array<std::string_view, 3> codes{"OSOBNE", "DS", "EMAIL"};
  return enumerationCode("TZpusobPrevzeti", codes, value);
}

std::string_view typBankUctuCode(TTypBankUctu value) {
  static constexpr std::array<std::string_view, 2> codes{"B", "I"};
  return enumerationCode("TTypBankUctu", codes, value);
}

std::string_view booleanText(uint8_t value) { return value ? "a" : "n"; }

std::string_view fileNamePart(std::string_view path) {
  size_t cut = path.find_last_of("/\\:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

void writeTextContainer(DocumentBuilder& doc, std::string_view container, std::string_view item,
                        const std::vector<std::string>& texts) {
  if (texts.empty()) return;
  doc.open(container);
  for (const std::string& text : texts) doc.forced(item, text);
  doc.close();
}

std::vector<ProposalAttachment> writeDocumentList(DocumentBuilder& doc, THostPtr listiny) {
  using plugin::readText;
  const auto list = plugin::HostList::input(listiny, sizeof(TListinaRec));
  std::vector<ProposalAttachment> attachments;
  doc.open("listiny");
  for (size_t i = 0; i < list.count(); ++i) {
    const TListinaRec& l = *list.at<TListinaRec>(i);
    doc.open("listina");
    doc.forced("typKod", readText(l.typKod));
    doc.forced("datumVyhotoveni", readText(l.datumVyhotoveni));
    doc.optional("textCislaJednaciho", readText(l.textCislaJednaciho));
    doc.optional("stran", readText(l.stran));
    doc.optional("popis", readText(l.popis));
    ProposalAttachment& a = attachments.emplace_back(
        ProposalAttachment{readText(l.idPrilohy), readText(l.souborPrilohy)});
    doc.open("priloha");
    doc.attribute("idPrilohy", a.idPrilohy);
    doc.attribute("jmenoSouboru", fileNamePart(a.path));
    doc.close();
    std::string katuzeKod = readText(l.katuzeKod);
    if (!katuzeKod.empty()) {
      doc.open("doplnkoveUdajeZPMZ");
      doc.forced("katuzeKod", katuzeKod);
      doc.forced("cisloZPMZ", readText(l.cisloZPMZ));
      doc.close();
    }
    doc.close();
  }
  doc.close();
  return attachments;
}

} // namespace vokr::proposals
