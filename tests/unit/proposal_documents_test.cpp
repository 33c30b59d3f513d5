// The ZPG and ZDP inner proposal documents built from host records laid out byte by byte.
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host_memory.h"
#include "host_records.h"
#include "platform/error.h"
#include "platform/codepage.h"
#include "proposals/zdp_document.h"
#include "proposals/zpg_document.h"
#include "code_page.h"
#include "test_data.h"

namespace {

using testing::HasSubstr;
using testing::Not;
using vokr::proposals::buildZdpDocument;
using vokr::proposals::buildZpgDocument;
using vokr::proposals::ProposalAttachment;
using vokr::proposals::ProposalDocument;
using namespace vokr::test;

std::string raised(const std::function<void()>& build) {
  try {
    build();
  } catch (const vokr::Error& e) {
    EXPECT_EQ(e.kindName(), "EProposalError");
    return e.what();
  }
  return "(nothing raised)";
}

// Host memory for one test: records and lists that stay put while the builder reads them.
class Host {
public:
  Record record(size_t width) { return vokr::test::newRecord(arena_, width); }

  // A list of text fields of `width` bytes.
  uint32_t texts(size_t width, const std::vector<std::string>& items) {
    HostList list(arena_, int32_t(items.size()), width);
    for (size_t i = 0; i < items.size(); ++i) list[i].text(0, width, items[i]);
    return list.address();
  }

  // A list of records of `width` bytes, each filled by `fill`.
  template <class Fill> uint32_t records(size_t width, size_t count, Fill fill) {
    HostList list(arena_, int32_t(count), width);
    for (size_t i = 0; i < count; ++i) {
      Record r = list[i];
      fill(r, i);
    }
    return list.address();
  }

  uint32_t emptyList(int32_t storedCount) { return HostList(arena_, storedCount, 16).address(); }

  uint32_t areas(const std::vector<std::pair<std::string, std::string>>& items) {
    return records(ku::kSize, items.size(), [&](Record& r, size_t i) {
      set(r, ku::kod, items[i].first);
      set(r, ku::nazev, items[i].second);
    });
  }

  // Documents: typKod, datumVyhotoveni, textCislaJednaciho, stran, popis, idPrilohy, path,
  // katuzeKod, cisloZPMZ.
  uint32_t documents(const std::vector<std::vector<std::string>>& items) {
    static constexpr Field fields[] = {listina::typKod, listina::datumVyhotoveni,
                                       listina::textCislaJednaciho, listina::stran,
                                       listina::popis, listina::idPrilohy, listina::soubor,
                                       listina::katuzeKod, listina::cisloZPMZ};
    return records(listina::kSize, items.size(), [&](Record& r, size_t i) {
      for (Field f : listina::reserved) r.fill(f.offset, f.width, 'X');
      for (size_t k = 0; k < items[i].size(); ++k) set(r, fields[k], items[i][k]);
    });
  }

  uint32_t addresses(const std::vector<std::vector<std::string>>& items) {
    return records(adresa::kSize, items.size(), [&](Record& r, size_t i) {
      for (size_t k = 0; k < items[i].size(); ++k) set(r, adresa::fields[k], items[i][k]);
    });
  }

private:
  HostArena arena_;
};

// A participant record with its reserved bytes filled, so that reading them would show.
void participantBase(Record& u, std::string_view druh, std::string_view typ) {
  for (Field f : ucastnik::reserved) u.fill(f.offset, f.width, 'X');
  set(u, ucastnik::druh, druh);
  set(u, ucastnik::typ, typ);
}

void naturalPerson(Record& u, Host& host) {
  participantBase(u, "F", "VLA");
  set(u, ucastnik::id, "1001");
  set(u, ucastnik::popis, "Vlastník \"A\" & spol.");
  set(u, ucastnik::notifikacniKontakty, "E");
  set(u, ucastnik::idDS, "abc2def");
  set(u, ucastnik::jmeno, "Jiří");
  set(u, ucastnik::prijmeni, "Dvořák");
  set(u, ucastnik::rodnePrijmeni, "Novák");
  set(u, ucastnik::rc, "7001011234");
  set(u, ucastnik::datumNarozeni, "01.01.1970");
  set(u, ucastnik::titulPred, "Ing.");
  set(u, ucastnik::titulZa, "Ph.D.");
  set(u, ucastnik::dokladuTyp, "OP");
  set(u, ucastnik::dokladCislo, "123456789");
  set(u, ucastnik::obchodniJmeno, "dropped for a natural person");
  set(u, ucastnik::ico, "99999999");
  u.ptr(ucastnik::adresy,
        host.addresses({{"T", "Česká republika", "Nový Jičín", "Kopřivnice", "Lubina",
                         "Mniší", "Obvod 1", "Štramberská", "P", "1234", "74221", "12a",
                         "+420 556 123 456", "jiri.dvorak@example.cz"},
                        {"K"}}));
  set(u, ucastnik::predcisli, "19");
  set(u, ucastnik::cisloUctu, "123457");
  set(u, ucastnik::kodBanky, "0100");
  u.u8(ucastnik::typUctu, 1);
}

void legalPerson(Record& u) {
  participantBase(u, "P", "VLA");
  set(u, ucastnik::popis, "Obec");
  set(u, ucastnik::idDS, "x7yz8ab");
  set(u, ucastnik::jmeno, "");
  set(u, ucastnik::obchodniJmeno, "Město Kopřivnice");
  set(u, ucastnik::ico, "00298077");
  set(u, ucastnik::dic, "CZ00298077");
  set(u, ucastnik::jednajiciOsoba, "Bc. Eva Malá, starostka");
  u.u8(ucastnik::typUctu, 200);  // no account: the type is never looked at
}

// A ZPG record with everything filled.
Record richZpg(Host& host) {
  Record in = host.record(zpgIn::kSize);
  set(in, zpgIn::typ, "ZPG");
  set(in, zpgIn::extIdentifikace, "Zakázka 2024/117");
  set(in, zpgIn::pracoviste, "701");
  in.ptr(zpgIn::katastralniUzemi,
         host.areas({{"669211", "Kopřivnice"}, {"693782", "Drnholec nad Lubinou"}}));
  in.ptr(zpgIn::poznamky, host.texts(4001, {"Vytyčení hranic dle dohody", "A & B <C>"}));
  in.ptr(zpgIn::parcely, host.texts(31, {"2345678901", ""}));
  in.ptr(zpgIn::stavby, host.texts(31, {"98765"}));
  in.ptr(zpgIn::mapoveListy, host.texts(101, {"Kopřivnice 5-1/23", "", "Kopřivnice 5-1/24"}));
  in.ptr(zpgIn::uceleZmeny, host.texts(4, {"7", "", "12"}));
  in.ptr(zpgIn::ucastnici, host.records(ucastnik::kSize, 2, [&](Record& u, size_t i) {
    if (i == 0)
      naturalPerson(u, host);
    else
      legalPerson(u);
  }));
  in.ptr(zpgIn::listiny,
         host.documents({{"GP", "15.03.2024", "GP-117/2024", "12", "Geometrický plán",
                          "1", "C:\\Zakázky\\117\\plán.pdf", "669211", "1234"},
                         {"ZPMZ", "16.03.2024", "", "", "", "2",
                          "/home/geodet/zakazky/117/protokol.pdf"}}));
  in.u8(zpgIn::tail, 1);
  set(in, zpgIn::rizeniId, "4711");
  set(in, zpgIn::cisloRizeni, "PM-12/2024-701");
  in.u8(zpgIn::zpusobUhrady, 1);
  in.u8(zpgIn::zmocneniUhrada, 1);
  set(in, zpgIn::inkasoPredcisli, "35");
  set(in, zpgIn::inkasoCisloUctu, "2000145399");
  set(in, zpgIn::inkasoKodBanky, "0800");
  in.u8(zpgIn::inkasoTypUctu, 1);
  set(in, zpgIn::zduvodneniOsvobozeni, "not an exemption");
  in.u8(zpgIn::zpusobPrevzeti, 1);
  in.u8(zpgIn::zmocneniPrevzeti, 0);
  return in;
}

const TZalozNavrhZPGIn& asZpg(const Record& r) {
  return *reinterpret_cast<const TZalozNavrhZPGIn*>(r.data());
}
const TZalozNavrhZDPIn& asZdp(const Record& r) {
  return *reinterpret_cast<const TZalozNavrhZDPIn*>(r.data());
}

std::string zpgXml(const Record& r) { return buildZpgDocument(asZpg(r)).xml; }

// The text from the first `from` up to and including the last `to`.
std::string between(const std::string& text, std::string_view from, std::string_view to) {
  size_t begin = text.find(from), end = text.rfind(to);
  if (begin == std::string::npos || end == std::string::npos || end < begin)
    return "(not found in)\n" + text;
  return text.substr(begin, end + to.size() - begin);
}

std::vector<std::pair<std::string, std::string>> pairs(const std::vector<ProposalAttachment>& a) {
  std::vector<std::pair<std::string, std::string>> out;
  for (const ProposalAttachment& x : a) out.emplace_back(x.idPrilohy, x.path);
  return out;
}

// --- whole documents ---

TEST(ZpgDocument, RichRecordGivesTheWholeDocument) {
  Host host;
  Record in = richZpg(host);
  ProposalDocument doc = buildZpgDocument(asZpg(in));
  EXPECT_EQ(doc.xml, readDataFile("proposals/zpg_rich.xml"));
  EXPECT_EQ(pairs(doc.attachments),
            (std::vector<std::pair<std::string, std::string>>{
                {"1", "C:\\Zakázky\\117\\plán.pdf"}, {"2", "/home/geodet/zakazky/117/protokol.pdf"}}));
}

TEST(ZpgDocument, EmptyListsAndNoTail) {
  Host host;
  Record in = host.record(zpgIn::kSize);
  set(in, zpgIn::pracoviste, "701");
  // Empty lists in every form: null, a stored count of 0, a negative count.
  in.ptr(zpgIn::poznamky, host.emptyList(0));
  in.ptr(zpgIn::parcely, host.emptyList(-1));
  in.ptr(zpgIn::ucastnici, host.emptyList(0));
  in.ptr(zpgIn::listiny, host.emptyList(-5));
  // Without the tail byte nothing behind it is read, not even bytes that would raise.
  set(in, zpgIn::rizeniId, "4711");
  in.u8(zpgIn::zpusobUhrady, 200);
  in.u8(zpgIn::zpusobPrevzeti, 200);
  ProposalDocument doc = buildZpgDocument(asZpg(in));
  EXPECT_EQ(doc.xml, readDataFile("proposals/zpg_empty.xml"));
  EXPECT_TRUE(doc.attachments.empty());
}

TEST(ZpgDocument, ListsAreReadUpToTheirStoredCount) {
  Host host;
  Record in = host.record(zpgIn::kSize);
  uint32_t areas = host.areas({{"111111", "Prvni"}, {"222222", "Druhe"}});
  Record(static_cast<uint8_t*>(vokr::test::fromHostAddress(areas)) - 4, 4).i32(0, 1);
  in.ptr(zpgIn::katastralniUzemi, areas);
  std::string xml = zpgXml(in);
  EXPECT_THAT(xml, HasSubstr("<ct:kod>111111</ct:kod>"));
  EXPECT_THAT(xml, Not(HasSubstr("222222")));
}

TEST(ZdpDocument, RichRecordGivesTheWholeDocument) {
  Host host;
  Record in = host.record(zdpIn::kSize);
  set(in, zdpIn::typ, "ZDP");
  set(in, zdpIn::extIdentifikace, "Zakázka 2024/118");
  in.ptr(zdpIn::poznamky, host.texts(4001, {"Doplnění dle výzvy", ""}));
  set(in, zdpIn::rizeniTyp, "PGP");
  set(in, zdpIn::poradoveCislo, "1543");
  set(in, zdpIn::rok, "2024");
  set(in, zdpIn::praresKod, "701");
  in.ptr(zdpIn::listiny,
         host.documents({{"GP", "15.03.2024", "GP-118/2024", "3", "Opravený plán", "1",
                          "D:plan.pdf", "669211", "1235"},
                         {"JIN", "16.03.2024", "", "", "Průvodní dopis", "22", "dopis.pdf", "", "99"}}));
  ProposalDocument doc = buildZdpDocument(asZdp(in));
  EXPECT_EQ(doc.xml, readDataFile("proposals/zdp_rich.xml"));
  EXPECT_EQ(pairs(doc.attachments), (std::vector<std::pair<std::string, std::string>>{
                                        {"1", "D:plan.pdf"}, {"22", "dopis.pdf"}}));
}

TEST(ZdpDocument, NoNotesNoDocumentsAndEmptyProceedingFields) {
  Host host;
  Record in = host.record(zdpIn::kSize);
  in.ptr(zdpIn::listiny, host.emptyList(0));
  EXPECT_EQ(buildZdpDocument(asZdp(in)).xml, readDataFile("proposals/zdp_empty.xml"));
}

// --- participants ---

struct ParticipantCase {
  const char* name;
  void (*fill)(Record&);
  const char* expected;  // the ucastnik element, from the line after its list's start tag
};

const ParticipantCase kParticipantCases[] = {
    {"surname empty, first name filled: a legal person",
     [](Record& u) {
       participantBase(u, "P", "SPR");
       set(u, ucastnik::jmeno, "Karel");
       set(u, ucastnik::rodnePrijmeni, "Dropped");
       set(u, ucastnik::obchodniJmeno, "Stavby s.r.o.");
       set(u, ucastnik::ico, "12345678");
       set(u, ucastnik::doplnekIco, "A");
     },
     "<ucastnik>\n"
     "      <ucastnikDruh>P</ucastnikDruh>\n"
     "      <ucastnikTyp>SPR</ucastnikTyp>\n"
     "      <obchodniJmeno>Stavby s.r.o.</obchodniJmeno>\n"
     "      <ico>12345678</ico>\n"
     "      <doplnekIco>A</doplnekIco>\n"
     "      <adresy/>\n"
     "    </ucastnik>"},
    {"neither surname nor business name",
     [](Record& u) { participantBase(u, "", ""); },
     "<ucastnik>\n"
     "      <ucastnikDruh/>\n"
     "      <ucastnikTyp/>\n"
     "      <obchodniJmeno/>\n"
     "      <ico/>\n"
     "      <adresy/>\n"
     "    </ucastnik>"},
    {"natural person: document type without number, no doklad; empty first name forced",
     [](Record& u) {
       participantBase(u, "F", "VLA");
       set(u, ucastnik::id, "5");
       set(u, ucastnik::prijmeni, "Malý");
       set(u, ucastnik::dokladuTyp, "OP");
       set(u, ucastnik::obchodniJmeno, "Dropped");
     },
     "<ucastnik id=\"5\">\n"
     "      <ucastnikDruh>F</ucastnikDruh>\n"
     "      <ucastnikTyp>VLA</ucastnikTyp>\n"
     "      <jmeno/>\n"
     "      <prijmeni>Malý</prijmeni>\n"
     "      <adresy/>\n"
     "    </ucastnik>"},
    {"document number without type; bad account type without account number",
     [](Record& u) {
       participantBase(u, "F", "VLA");
       set(u, ucastnik::jmeno, "Jan");
       set(u, ucastnik::prijmeni, "Malý");
       set(u, ucastnik::dokladCislo, "AB123");
       set(u, ucastnik::predcisli, "19");
       set(u, ucastnik::kodBanky, "0100");
       u.u8(ucastnik::typUctu, 200);
     },
     "<ucastnik>\n"
     "      <ucastnikDruh>F</ucastnikDruh>\n"
     "      <ucastnikTyp>VLA</ucastnikTyp>\n"
     "      <jmeno>Jan</jmeno>\n"
     "      <prijmeni>Malý</prijmeni>\n"
     "      <doklad>\n"
     "        <dokladCislo>AB123</dokladCislo>\n"
     "      </doklad>\n"
     "      <adresy/>\n"
     "    </ucastnik>"},
    {"account number alone: the other account elements forced, the prefix left out",
     [](Record& u) {
       participantBase(u, "P", "VLA");
       set(u, ucastnik::popis, "x");
       set(u, ucastnik::cisloUctu, "2000145399");
       u.u8(ucastnik::typUctu, 0);
     },
     "<ucastnik popis=\"x\">\n"
     "      <ucastnikDruh>P</ucastnikDruh>\n"
     "      <ucastnikTyp>VLA</ucastnikTyp>\n"
     "      <obchodniJmeno/>\n"
     "      <ico/>\n"
     "      <adresy/>\n"
     "      <bankovniSpojeni>\n"
     "        <ct:cisloUctu>2000145399</ct:cisloUctu>\n"
     "        <ct:kodBanky/>\n"
     "        <ct:typUctu>B</ct:typUctu>\n"
     "      </bankovniSpojeni>\n"
     "    </ucastnik>"},
};

TEST(ZpgDocument, Participants) {
  for (const ParticipantCase& c : kParticipantCases) {
    SCOPED_TRACE(c.name);
    Host host;
    Record in = host.record(zpgIn::kSize);
    in.ptr(zpgIn::ucastnici, host.records(ucastnik::kSize, 1, [&](Record& u, size_t) { c.fill(u); }));
    EXPECT_EQ(between(zpgXml(in), "<ucastnici", "</ucastnici>"),
              std::string("<ucastnici num=\"1\">\n    ") + c.expected + "\n  </ucastnici>");
  }
}

// --- the tail: proceeding, fee payment, taking over ---

struct TailCase {
  const char* name;
  void (*fill)(Record&);
  const char* expected;  // from the end of listiny to the end of the document
};

void fillEverything(Record& in) {
  set(in, zpgIn::inkasoPredcisli, "35");
  set(in, zpgIn::inkasoCisloUctu, "2000145399");
  set(in, zpgIn::inkasoKodBanky, "0800");
  in.u8(zpgIn::inkasoTypUctu, 200);  // read only for a direct debit
  set(in, zpgIn::zduvodneniOsvobozeni, "Osvobozeno dle zákona");
}

const TailCase kTailCases[] = {
    {"cash, both proceeding identifier and number: only the identifier",
     [](Record& in) {
       fillEverything(in);
       set(in, zpgIn::rizeniId, "4711");
       set(in, zpgIn::cisloRizeni, "PM-12/2024-701");
       in.u8(zpgIn::zpusobUhrady, 0);
       in.u8(zpgIn::zpusobPrevzeti, 0);
       in.u8(zpgIn::zmocneniPrevzeti, 7);
     },
     "<listiny/>\n"
     "  <rizeniPM>\n"
     "    <ct:rizeniId>4711</ct:rizeniId>\n"
     "  </rizeniPM>\n"
     "  <zpusobUhradySpravnihoPoplatku zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobUhrady>H</zpusobUhrady>\n"
     "  </zpusobUhradySpravnihoPoplatku>\n"
     "  <zpusobPrevzeti zmocneniZhotoviteleGP=\"a\">\n"
     "    <zpusobPrevzeti>OSOBNE</zpusobPrevzeti>\n"
     "  </zpusobPrevzeti>\n"
     "</enx>\n"},
    {"duty stamp, proceeding number only",
     [](Record& in) {
       fillEverything(in);
       set(in, zpgIn::cisloRizeni, "PM-12/2024-701");
       in.u8(zpgIn::zpusobUhrady, 2);
       in.u8(zpgIn::zmocneniUhrada, 1);
       in.u8(zpgIn::zpusobPrevzeti, 2);
     },
     "<listiny/>\n"
     "  <rizeniPM>\n"
     "    <ct:cisloRizeni>PM-12/2024-701</ct:cisloRizeni>\n"
     "  </rizeniPM>\n"
     "  <zpusobUhradySpravnihoPoplatku zmocneniZhotoviteleGP=\"a\">\n"
     "    <zpusobUhrady>K</zpusobUhrady>\n"
     "  </zpusobUhradySpravnihoPoplatku>\n"
     "  <zpusobPrevzeti zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobPrevzeti>EMAIL</zpusobPrevzeti>\n"
     "  </zpusobPrevzeti>\n"
     "</enx>\n"},
    {"transfer from an account, no proceeding",
     [](Record& in) {
       fillEverything(in);
       in.u8(zpgIn::zpusobUhrady, 4);
       in.u8(zpgIn::zpusobPrevzeti, 1);
     },
     "<listiny/>\n"
     "  <zpusobUhradySpravnihoPoplatku zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobUhrady>U</zpusobUhrady>\n"
     "  </zpusobUhradySpravnihoPoplatku>\n"
     "  <zpusobPrevzeti zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobPrevzeti>DS</zpusobPrevzeti>\n"
     "  </zpusobPrevzeti>\n"
     "</enx>\n"},
    {"exemption with its reason",
     [](Record& in) {
       fillEverything(in);
       in.u8(zpgIn::zpusobUhrady, 3);
     },
     "<listiny/>\n"
     "  <zpusobUhradySpravnihoPoplatku zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobUhrady>O</zpusobUhrady>\n"
     "    <zduvodneniOsvobozeni>Osvobozeno dle zákona</zduvodneniOsvobozeni>\n"
     "  </zpusobUhradySpravnihoPoplatku>\n"
     "  <zpusobPrevzeti zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobPrevzeti>OSOBNE</zpusobPrevzeti>\n"
     "  </zpusobPrevzeti>\n"
     "</enx>\n"},
    {"exemption without a reason",
     [](Record& in) { in.u8(zpgIn::zpusobUhrady, 3); },
     "<listiny/>\n"
     "  <zpusobUhradySpravnihoPoplatku zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobUhrady>O</zpusobUhrady>\n"
     "  </zpusobUhradySpravnihoPoplatku>\n"
     "  <zpusobPrevzeti zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobPrevzeti>OSOBNE</zpusobPrevzeti>\n"
     "  </zpusobPrevzeti>\n"
     "</enx>\n"},
    {"direct debit with empty account fields",
     [](Record& in) {
       in.u8(zpgIn::zpusobUhrady, 1);
       set(in, zpgIn::zduvodneniOsvobozeni, "ignored");
     },
     "<listiny/>\n"
     "  <zpusobUhradySpravnihoPoplatku zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobUhrady>I</zpusobUhrady>\n"
     "    <inkaso>\n"
     "      <ct:typUctu>B</ct:typUctu>\n"
     "    </inkaso>\n"
     "  </zpusobUhradySpravnihoPoplatku>\n"
     "  <zpusobPrevzeti zmocneniZhotoviteleGP=\"n\">\n"
     "    <zpusobPrevzeti>OSOBNE</zpusobPrevzeti>\n"
     "  </zpusobPrevzeti>\n"
     "</enx>\n"},
};

TEST(ZpgDocument, Tail) {
  for (const TailCase& c : kTailCases) {
    SCOPED_TRACE(c.name);
    Host host;
    Record in = host.record(zpgIn::kSize);
    in.u8(zpgIn::tail, 1);
    c.fill(in);
    std::string xml = zpgXml(in);
    EXPECT_EQ(xml.substr(xml.find("<listiny/>")), c.expected);
  }
}

// --- enumeration bytes ---

struct EnumerationCase {
  const char* name;
  void (*fill)(Record&, Host&);
  const char* message;  // empty: nothing raised
};

void oneParticipantWithAccount(Record& in, Host& host, uint8_t typUctu) {
  in.ptr(zpgIn::ucastnici, host.records(ucastnik::kSize, 1, [&](Record& u, size_t) {
    set(u, ucastnik::prijmeni, "Malý");
    set(u, ucastnik::cisloUctu, "123457");
    u.u8(ucastnik::typUctu, typUctu);
  }));
}

const EnumerationCase kEnumerationCases[] = {
    {"way of payment 200", [](Record& in, Host&) { in.u8(zpgIn::zpusobUhrady, 200); },
     "Chybná hodnota - TZpusobUhrady=|200|"},
    {"way of payment just past the last", [](Record& in, Host&) { in.u8(zpgIn::zpusobUhrady, 5); },
     "Chybná hodnota - TZpusobUhrady=|5|"},
    {"way of payment 128", [](Record& in, Host&) { in.u8(zpgIn::zpusobUhrady, 128); },
     "Chybná hodnota - TZpusobUhrady=|128|"},
    {"way of taking over 3", [](Record& in, Host&) { in.u8(zpgIn::zpusobPrevzeti, 3); },
     "Chybná hodnota - TZpusobPrevzeti=|3|"},
    {"way of taking over 255", [](Record& in, Host&) { in.u8(zpgIn::zpusobPrevzeti, 255); },
     "Chybná hodnota - TZpusobPrevzeti=|255|"},
    {"direct-debit account type 2",
     [](Record& in, Host&) {
       in.u8(zpgIn::zpusobUhrady, 1);
       in.u8(zpgIn::inkasoTypUctu, 2);
     },
     "Chybná hodnota - TTypBankUctu=|2|"},
    {"participant account type 200",
     [](Record& in, Host& host) { oneParticipantWithAccount(in, host, 200); },
     "Chybná hodnota - TTypBankUctu=|200|"},
    {"bad way of payment raises before a bad way of taking over",
     [](Record& in, Host&) {
       in.u8(zpgIn::zpusobUhrady, 9);
       in.u8(zpgIn::zpusobPrevzeti, 9);
     },
     "Chybná hodnota - TZpusobUhrady=|9|"},
    {"direct-debit account type ignored for an exemption",
     [](Record& in, Host&) {
       in.u8(zpgIn::zpusobUhrady, 3);
       in.u8(zpgIn::inkasoTypUctu, 200);
     },
     ""},
    {"last codes are valid",
     [](Record& in, Host& host) {
       in.u8(zpgIn::zpusobUhrady, 1);
       in.u8(zpgIn::inkasoTypUctu, 1);
       in.u8(zpgIn::zpusobPrevzeti, 2);
       oneParticipantWithAccount(in, host, 1);
     },
     ""},
};

TEST(ZpgDocument, EnumerationBytes) {
  for (const EnumerationCase& c : kEnumerationCases) {
    SCOPED_TRACE(c.name);
    Host host;
    Record in = host.record(zpgIn::kSize);
    in.u8(zpgIn::tail, 1);
    c.fill(in, host);
    if (*c.message)
      EXPECT_EQ(raised([&] { zpgXml(in); }), c.message);
    else
      EXPECT_NO_THROW(zpgXml(in));
  }
}

// --- documents and their attachments ---

TEST(ProposalDocuments, AttachmentFileNamePart) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Zakázky\\117\\plán.pdf", "plán.pdf"},
      {"/home/geodet/plan.pdf", "plan.pdf"},
      {"D:plan.pdf", "plan.pdf"},
      {"\\\\server\\share/mixed:name.pdf", "name.pdf"},
      {"plan.pdf", "plan.pdf"},
      {"/home/geodet/", ""},
      {"", ""},
  };
  for (auto [path, name] : cases) {
    SCOPED_TRACE(path);
    Host host;
    Record in = host.record(zdpIn::kSize);
    in.ptr(zdpIn::listiny, host.documents({{"GP", "", "", "", "", "7", path}}));
    ProposalDocument doc = buildZdpDocument(asZdp(in));
    EXPECT_THAT(doc.xml, HasSubstr(std::string("<priloha idPrilohy=\"7\" jmenoSouboru=\"") +
                                   name + "\"/>"));
    ASSERT_EQ(doc.attachments.size(), 1u);
    EXPECT_EQ(doc.attachments[0].path, path);
  }
}

TEST(ProposalDocuments, DocumentWithOnlyForcedParts) {
  // Both builders write the same entry; an empty entry still has its forced elements and
  // both attributes of priloha.
  Host host;
  uint32_t list = host.documents({{}});
  Record zdp = host.record(zdpIn::kSize);
  zdp.ptr(zdpIn::listiny, list);
  Record zpg = host.record(zpgIn::kSize);
  zpg.ptr(zpgIn::listiny, list);
  const char* expected =
      "<listiny>\n"
      "    <listina>\n"
      "      <typKod/>\n"
      "      <datumVyhotoveni/>\n"
      "      <priloha idPrilohy=\"\" jmenoSouboru=\"\"/>\n"
      "    </listina>\n"
      "  </listiny>";
  EXPECT_EQ(between(buildZdpDocument(asZdp(zdp)).xml, "<listiny>", "</listiny>"), expected);
  EXPECT_EQ(between(zpgXml(zpg), "<listiny>", "</listiny>"), expected);
}

// --- host code page ---

using vokr::test::CodePage;

TEST(ProposalDocuments, HostTextInCp1250) {
  CodePage cp1250("cs_CZ.CP1250");
  if (vokr::platform::codePage() != "CP1250") GTEST_SKIP() << "no cs_CZ.CP1250 locale here";
  Host host;
  Record in = host.record(zdpIn::kSize);
  set(in, zdpIn::extIdentifikace, "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2");
  in.ptr(zdpIn::listiny,
         host.documents({{"GP", "", "", "", "", "1", "C:\\Zak\xE1zky\\pl\xE1n.pdf"}}));
  ProposalDocument doc = buildZdpDocument(asZdp(in));
  EXPECT_THAT(doc.xml, HasSubstr("<extIdentifikace>Příliš žluťoučký kůň</extIdentifikace>"));
  EXPECT_THAT(doc.xml, HasSubstr("jmenoSouboru=\"plán.pdf\""));
  ASSERT_EQ(doc.attachments.size(), 1u);
  EXPECT_EQ(doc.attachments[0].path, "C:\\Zakázky\\plán.pdf");
}

// --- node rules ---

TEST(ProposalDocuments, TextElementWithoutCurrentNodeRaises) {
  vokr::proposals::DocumentBuilder doc("ZPG");
  doc.close();  // past the root: no current node
  EXPECT_EQ(raised([&] { doc.forced("ct:kod", "1"); }),
            "Nelze vytvořit XML node |ct:kod|; aNode is not assigned");
  EXPECT_EQ(raised([&] { doc.optional("popis", ""); }),
            "Nelze vytvořit XML node |popis|; aNode is not assigned");
}

} // namespace
