#include "proposals/zpg_document.h"

#include "plugin/host.h"

namespace vokr::proposals {

namespace {

using plugin::HostList;
using plugin::readText;
using plugin::readTextList;

// Widths of the entries of the host's text lists.
constexpr size_t kIdentifierWidth = 31;
constexpr size_t kMapovyListWidth = 101;
constexpr size_t kUcelZmenyWidth = 4;

void writeAreas(DocumentBuilder& doc, THostPtr areas) {
  const auto list = HostList::input(areas, sizeof(TKatastralniUzemiRec));
  if (!list.count()) return;
  doc.open("katastralniUzemi");
  for (size_t i = 0; i < list.count(); ++i) {
    const TKatastralniUzemiRec& ku = *list.at<TKatastralniUzemiRec>(i);
    doc.open("ku");
    doc.forced("ct:kod", readText(ku.kod));
    doc.forced("ct:nazev", readText(ku.nazev));
    doc.close();
  }
  doc.close();
}

void writeAddresses(DocumentBuilder& doc, THostPtr addresses) {
  const auto list = HostList::input(addresses, sizeof(TAdresaRec));
  doc.open("adresy");
  for (size_t i = 0; i < list.count(); ++i) {
    const TAdresaRec& a = *list.at<TAdresaRec>(i);
    doc.open("adresa");
    doc.forced("adresaTyp", readText(a.adresaTyp));
    doc.optional("statNazev", readText(a.statNazev));
    doc.optional("okresNazev", readText(a.okresNazev));
    doc.optional("obecNazev", readText(a.obecNazev));
    doc.optional("castObceNazev", readText(a.castObceNazev));
    doc.optional("mestskaCastNazev", readText(a.mestskaCastNazev));
    doc.optional("mestskyObvodNazev", readText(a.mestskyObvodNazev));
    doc.optional("ulice", readText(a.ulice));
    doc.optional("cpCe", readText(a.cpCe));
    doc.optional("cisloDomovni", readText(a.cisloDomovni));
    doc.optional("psc", readText(a.psc));
    doc.optional("cisloOrientacni", readText(a.cisloOrientacni));
    doc.optional("telefon", readText(a.telefon));
    doc.optional("email", readText(a.email));
    doc.close();
  }
  doc.close();
}

void writeParticipant(DocumentBuilder& doc, const TUcastnikRec& u) {
  doc.open("ucastnik");
  if (std::string id = readText(u.id); !id.empty()) doc.attribute("id", id);
  if (std::string popis = readText(u.popis); !popis.empty()) doc.attribute("popis", popis);
  doc.forced("ucastnikDruh", readText(u.ucastnikDruh));
  doc.forced("ucastnikTyp", readText(u.ucastnikTyp));

  std::string prijmeni = readText(u.prijmeni);
  if (prijmeni.empty()) {  // a legal person, whatever the first name says
    doc.forced("obchodniJmeno", readText(u.obchodniJmeno));
    doc.forced("ico", readText(u.ico));
    doc.optional("doplnekIco", readText(u.doplnekIco));
    doc.optional("dic", readText(u.dic));
    doc.optional("jednajiciOsoba", readText(u.jednajiciOsoba));
  } else {
    doc.forced("jmeno", readText(u.jmeno));
    doc.forced("prijmeni", prijmeni);
    doc.optional("rodnePrijmeni", readText(u.rodnePrijmeni));
    doc.optional("rc", readText(u.rc));
    doc.optional("datumNarozeni", readText(u.datumNarozeni));
    doc.optional("titulPredJmenem", readText(u.titulPredJmenem));
    doc.optional("titulZaJmenem", readText(u.titulZaJmenem));
    if (std::string cislo = readText(u.dokladCislo); !cislo.empty()) {
      doc.open("doklad");
      doc.optional("dokladuTyp", readText(u.dokladuTyp));
      doc.optional("dokladCislo", cislo);
      doc.close();
    }
  }
  doc.optional("notifikacniKontakty", readText(u.notifikacniKontakty));
  doc.optional("idDS", readText(u.idDS));
  writeAddresses(doc, u.adresy);

  // The account type byte matters only when there is an account.
  if (std::string cisloUctu = readText(u.cisloUctu); !cisloUctu.empty()) {
    doc.open("bankovniSpojeni");
    doc.optional("ct:predcisli", readText(u.predcisli));
    doc.forced("ct:cisloUctu", cisloUctu);
    doc.forced("ct:kodBanky", readText(u.kodBanky));
    doc.forced("ct:typUctu", typBankUctuCode(u.typUctu));
    doc.close();
  }
  doc.close();
}

void writeParticipants(DocumentBuilder& doc, THostPtr participants) {
  const auto list = HostList::input(participants, sizeof(TUcastnikRec));
  doc.open("ucastnici");
  doc.attribute("num", std::to_string(list.count()));
  for (size_t i = 0; i < list.count(); ++i) writeParticipant(doc, *list.at<TUcastnikRec>(i));
  doc.close();
}

// The proceeding, the fee payment and the taking over of the result.
void writeTail(DocumentBuilder& doc, const TZalozNavrhZPGIn& in) {
  std::string rizeniId = readText(in.rizeniId);
  std::string cisloRizeni = readText(in.cisloRizeni);
  if (!rizeniId.empty() || !cisloRizeni.empty()) {
    doc.open("rizeniPM");
    if (!rizeniId.empty())
      doc.forced("ct:rizeniId", rizeniId);
    else
      doc.forced("ct:cisloRizeni", cisloRizeni);
    doc.close();
  }

  doc.open("zpusobUhradySpravnihoPoplatku");
  doc.attribute("zmocneniZhotoviteleGP", booleanText(in.zmocneniUhrada));
  doc.forced("zpusobUhrady", zpusobUhradyCode(in.zpusobUhrady));
  constexpr TZpusobUhrady kInkaso = 1, kOsvobozeni = 3;
  if (in.zpusobUhrady == kOsvobozeni) {
    doc.optional("zduvodneniOsvobozeni", readText(in.zduvodneniOsvobozeni));
  } else if (in.zpusobUhrady == kInkaso) {
    doc.open("inkaso");
    doc.optional("ct:predcisli", readText(in.inkasoPredcisli));
    doc.optional("ct:cisloUctu", readText(in.inkasoCisloUctu));
    doc.optional("ct:kodBanky", readText(in.inkasoKodBanky));
    doc.forced("ct:typUctu", typBankUctuCode(in.inkasoTypUctu));
    doc.close();
  }
  doc.close();

  doc.open("zpusobPrevzeti");
  doc.attribute("zmocneniZhotoviteleGP", booleanText(in.zmocneniPrevzeti));
  doc.forced("zpusobPrevzeti", zpusobPrevzetiCode(in.zpusobPrevzeti));
  doc.close();
}

} // namespace

ProposalDocument buildZpgDocument(const TZalozNavrhZPGIn& in) {
  DocumentBuilder doc("ZPG");
  doc.open("typyRizeni");
  doc.forced("typ", readText(in.typ));
  doc.close();
  doc.optional("extIdentifikace", readText(in.extIdentifikace));
  doc.open("pracoviste");
  doc.forced("kod", readText(in.pracovisteKod));
  doc.close();
  writeAreas(doc, in.katastralniUzemi);
  writeTextContainer(doc, "poznamky", "poznamka", readTextList(in.poznamky, kPoznamkaWidth));
  writeTextContainer(doc, "parcely", "ct:idParcely", readTextList(in.parcely, kIdentifierWidth));
  writeTextContainer(doc, "stavby", "ct:idStavby", readTextList(in.stavby, kIdentifierWidth));
  for (const std::string& sheet : readTextList(in.mapoveListy, kMapovyListWidth))
    doc.optional("mapovyList", sheet);
  for (const std::string& purpose : readTextList(in.uceleZmeny, kUcelZmenyWidth))
    doc.optional("ucelZmeny", purpose);
  writeParticipants(doc, in.ucastnici);

  ProposalDocument out;
  out.attachments = writeDocumentList(doc, in.listiny);
  if (in.zaverPritomen) writeTail(doc, in);
  out.xml = doc.serialize();
  return out;
}

} // namespace vokr::proposals
