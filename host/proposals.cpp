#include "proposals.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "errors.h"
#include "settings.h"
#include "system.h"

namespace host {

namespace {

// A document list of one entry with the attachment file; its area and ZPMZ number name the
// plan's survey records.
THostPtr document(HostMemory& memory, const ProposalData& d) {
  THostPtr list = memory.list<TListinaRec>(1);
  TListinaRec& r = *fromHost<TListinaRec>(list);
  put(r.typKod, "GP", "document type");
  put(r.datumVyhotoveni, d.date, "date of issue");
  put(r.textCislaJednaciho, d.job, "reference number");
  put(r.stran, "1", "pages");
  put(r.popis, local("Geometrický plán"), "document description");
  put(r.idPrilohy, "1", "attachment id");
  put(r.souborPrilohy, d.attachment, "--attachment (full path)");
  put(r.katuzeKod, d.area, "cadastral area code");
  put(r.cisloZPMZ, d.zpmz, "ZPMZ number");
  return list;
}

THostPtr notes(Families& f, const ProposalData& d) {
  return d.note.empty() ? 0 : f.textList<Note>({d.note}, "note");
}

std::string required(const std::string& value, const char* option) {
  if (value.empty()) throw UsageError(std::string("give ") + option);
  return value;
}

} // namespace

std::string today() {
  std::tm tm{};
  char text[16];
  if (!sys::localCalendar(std::time(nullptr), tm) || !std::strftime(text, sizeof text, "%Y-%m-%d", &tm)) return {};
  return text;
}

std::string attachmentPath(const std::string& path) {
  std::error_code error;
  std::filesystem::path resolved = std::filesystem::canonical(path, error);
  if (error) throw FileError("--attachment: no such file " + path);
  return resolved.string();
}

ProposalData proposalFromOptions(const Options& o) {
  ProposalData d{.job = o.job, .office = o.office, .area = o.area, .zpmz = o.zpmz, .proceedingId = o.proceeding,
                 .attachment = attachmentPath(required(o.attachment, "--attachment FILE")), .note = o.note,
                 .date = today(), .parcels = o.parcels};
  if (!o.applicant.empty()) {
    size_t space = o.applicant.rfind(' ');
    if (space == std::string::npos) throw UsageError("--applicant wants 'FIRST-NAME SURNAME'");
    d.firstName = o.applicant.substr(0, space);
    d.surname = o.applicant.substr(space + 1);
    d.birthDate = o.birthDate;
    d.dataBox = o.dataBox;
    // "STREET NUMBER, POSTCODE MUNICIPALITY"
    size_t comma = o.address.find(", "), number = o.address.rfind(' ', comma);
    size_t town = comma == std::string::npos ? comma : o.address.find(' ', comma + 2);
    if (comma == std::string::npos || number == std::string::npos || town == std::string::npos)
      throw UsageError("--address wants 'STREET NUMBER, POSTCODE MUNICIPALITY'");
    d.street = o.address.substr(0, number);
    d.houseNumber = o.address.substr(number + 1, comma - number - 1);
    d.postCode = o.address.substr(comma + 2, town - comma - 2);
    d.municipality = o.address.substr(town + 1);
  }
  return d;
}

TZalozNavrhZPGIn& zpgRecord(Families& f, const ProposalData& d, const Options& signing) {
  HostMemory& memory = f.memory();
  auto* in = memory.make<TZalozNavrhZPGIn>();
  put(in->typ, "ZPG", "proposal type");
  put(in->extIdentifikace, d.job, "external identification");
  put(in->pracovisteKod, d.office, "--office");
  in->katastralniUzemi = memory.list<TKatastralniUzemiRec>(1);
  put(fromHost<TKatastralniUzemiRec>(in->katastralniUzemi)->kod, d.area, "cadastral area code");
  in->poznamky = notes(f, d);
  in->parcely = f.textList<ParcelId>(d.parcels, "parcel identifier");
  if (!d.surname.empty()) {
    in->ucastnici = memory.list<TUcastnikRec>(1);
    TUcastnikRec& u = *fromHost<TUcastnikRec>(in->ucastnici);
    put(u.ucastnikDruh, "N", "participant kind");
    put(u.ucastnikTyp, "FO", "participant type");
    put(u.id, "1", "participant id");
    put(u.jmeno, d.firstName, "first name");
    put(u.prijmeni, d.surname, "surname");
    put(u.datumNarozeni, d.birthDate, "--birth-date");
    put(u.idDS, d.dataBox, "--data-box");
    u.adresy = memory.list<TAdresaRec>(1);
    TAdresaRec& a = *fromHost<TAdresaRec>(u.adresy);
    put(a.adresaTyp, "T", "address type");
    put(a.obecNazev, d.municipality, "municipality");
    put(a.ulice, d.street, "street");
    put(a.cisloDomovni, d.houseNumber, "house number");
    put(a.psc, d.postCode, "post code");
  }
  in->listiny = document(memory, d);
  in->zaverPritomen = 1;
  put(in->rizeniId, d.proceedingId, "--proceeding");
  in->zpusobUhrady = 4;  // transfer from an account
  in->zmocneniUhrada = 1;
  in->zpusobPrevzeti = 1;  // data box
  in->zmocneniPrevzeti = 1;
  fillSigningBlock(in->signingBlock, signing);
  return *in;
}

TZalozNavrhZDPIn& zdpRecord(Families& f, const ProposalData& d, const std::string& rizeniTyp,
                            const std::string& poradoveCislo, const std::string& rok, const Options& signing) {
  auto* in = f.memory().make<TZalozNavrhZDPIn>();
  put(in->typ, "ZDP", "proposal type");
  put(in->extIdentifikace, d.job, "external identification");
  in->poznamky = notes(f, d);
  put(in->rizeniTyp, rizeniTyp, "proceeding type");
  put(in->poradoveCislo, poradoveCislo, "proceeding number");
  put(in->rok, rok, "proceeding year");
  put(in->praresKod, d.office, "office code");
  in->listiny = document(f.memory(), d);
  fillSigningBlock(in->signingBlock, signing);
  return *in;
}

} // namespace host
