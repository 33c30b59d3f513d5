#pragma once
// What the ZPG and ZDP proposal documents share: the libxml2 tree on the common template, the
// node rules that write it, the byte enumerations and the document list with its attachments.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <libxml/tree.h>

#include "vokr.h"

namespace vokr::proposals {

// An attachment file named in a document entry, sent beside the signed document.
struct ProposalAttachment {
  std::string idPrilohy;  // as the host gave it
  std::string path;       // full path of the file, UTF-8
};

struct ProposalDocument {
  std::string xml;  // the serialized inner document: UTF-8, indented by two spaces
  std::vector<ProposalAttachment> attachments;  // one per document entry, in list order
};

// Writes one inner document. Element names are unprefixed (the content namespace of the root)
// or begin with "ct:" (the common types namespace declared on the root). Errors are
// vokr::Error of kind EProposalError.
class DocumentBuilder {
public:
  // Loads the template; `kind` ("ZPG", "ZDP") names the document in the error raised when it
  // does not load. The root becomes the current node.
  explicit DocumentBuilder(std::string_view kind);
  ~DocumentBuilder();
  DocumentBuilder(const DocumentBuilder&) = delete;
  DocumentBuilder& operator=(const DocumentBuilder&) = delete;

  // Appends a container element and makes it the current node.
  void open(std::string_view name);
  // Makes the parent of the current node current.
  void close();
  // A text element under the current node, always written (empty when the text is).
  void forced(std::string_view name, std::string_view text);
  // A text element written only when the text is not empty.
  void optional(std::string_view name, std::string_view text);
  // An attribute without namespace on the current node.
  void attribute(std::string_view name, std::string_view value);

  std::string serialize() const;

private:
  xmlNodePtr currentOrRaise(std::string_view name) const;
  xmlNodePtr append(std::string_view name, std::string_view text);

  xmlDocPtr doc_;
  xmlNodePtr current_;
  xmlNsPtr content_;
  xmlNsPtr common_;
};

// The codes of the byte enumerations; a byte outside the range raises
// "Chybná hodnota - <type>=|<byte>|".
std::string_view zpusobUhradyCode(TZpusobUhrady value);
std::string_view zpusobPrevzetiCode(TZpusobPrevzeti value);
std::string_view typBankUctuCode(TTypBankUctu value);
// A Boolean byte: "a" for non-zero, "n" for zero.
std::string_view booleanText(uint8_t value);

// The file-name part of a path: the text after its last '/', '\' or ':'.
std::string_view fileNamePart(std::string_view path);

// Width of a note in the host's lists of notes.
inline constexpr size_t kPoznamkaWidth = 4001;

// A container holding one forced `item` per text; nothing at all for no texts.
void writeTextContainer(DocumentBuilder& doc, std::string_view container, std::string_view item,
                        const std::vector<std::string>& texts);

// Writes `listiny` from a host list of TListinaRec and returns the attachment of every entry.
std::vector<ProposalAttachment> writeDocumentList(DocumentBuilder& doc, THostPtr listiny);

} // namespace vokr::proposals
