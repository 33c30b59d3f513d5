#include "proposals/zdp_document.h"

#include "plugin/host.h"

namespace vokr::proposals {

using plugin::readText;
using plugin::readTextList;

ProposalDocument buildZdpDocument(const TZalozNavrhZDPIn& in) {
  DocumentBuilder doc("ZDP");
  doc.open("typyRizeni");
  doc.forced("typ", readText(in.typ));
  doc.close();
  doc.optional("extIdentifikace", readText(in.extIdentifikace));
  writeTextContainer(doc, "poznamky", "poznamka", readTextList(in.poznamky, kPoznamkaWidth));
  doc.forced("rizeniTyp", readText(in.rizeniTyp));
  doc.forced("poradoveCislo", readText(in.poradoveCislo));
  doc.forced("rok", readText(in.rok));
  doc.forced("praresKod", readText(in.praresKod));

  ProposalDocument out;
  out.attachments = writeDocumentList(doc, in.listiny);
  out.xml = doc.serialize();
  return out;
}

} // namespace vokr::proposals
