// Ownership-sheet reports: have them generated for parcels, list them, fetch one and save its
// file, delete one. All four operations answer with the same report list.
#include "operations/host_values.h"
#include "operations/saved_file.h"
#include "plugin/export.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::operations;
using schema::Operation;

namespace {

using Reports = plugin::Family<schema::GenerujSestavuResponse>;
Reports generated, listed, fetched, deleted;

constexpr size_t kParcelIdWidth = 31;

// How a family fills the report members the service may leave out.
enum class Fill {
  zero,          // always 0, whatever the report says
  reportOrZero,  // the report's value; 0 when it has none
  reportOrKeep,  // the report's value; the host's value stays when it has none
};
struct OptionalMembers {
  Fill pocetStran, datumSpusteni, datumVytvoreni;
};
constexpr OptionalMembers kGenerated{Fill::zero, Fill::reportOrZero, Fill::zero};
constexpr OptionalMembers kListed{Fill::reportOrKeep, Fill::reportOrKeep, Fill::reportOrKeep};
constexpr OptionalMembers kFetched{Fill::reportOrZero, Fill::reportOrZero, Fill::reportOrZero};

template <class T, class Convert>
void fill(void* field, Fill how, const schema::Optional<T>& member, Convert&& convert) {
  if (how == Fill::zero || (how == Fill::reportOrZero && !member.present))
    plugin::store(field, decltype(convert(member.value)){});
  else if (member.present)
    plugin::store(field, convert(member.value));
}

int64_t int64Of(const std::optional<schema::TXSDecimal>& d) {
  return d ? integer64(d->text).value_or(0) : 0;
}
int32_t pageCount(const std::optional<schema::TXSDecimal>& d) {
  return static_cast<int32_t>(int64Of(d));
}

template <class E> std::string_view text(E value) {
  const auto& texts = schema::enumInfo(value).texts;
  const auto i = static_cast<size_t>(value);
  return i < texts.size() ? texts[i] : std::string_view();
}

void writeReport(TSestavaRec& entry, const schema::ReportType& r, const OptionalMembers& how) {
  plugin::store(&entry.id, int64Of(r.id));
  plugin::writeText(entry.nazev, r.nazev);
  fill(&entry.pocetStran, how.pocetStran, r.pocetStran, pageCount);
  plugin::store(&entry.datumPozadavku, hostDateTime(r.datumPozadavku));
  fill(&entry.datumSpusteni, how.datumSpusteni, r.datumSpusteni, hostDateTime);
  fill(&entry.datumVytvoreni, how.datumVytvoreni, r.datumVytvoreni, hostDateTime);
  plugin::writeText(entry.stav, text(r.stav));
  plugin::writeText(entry.format, text(r.format));
}

void getReports(const Reports& family, TSestavyOut* out, const OptionalMembers& how) {
  family.get(out, [&](const schema::GenerujSestavuResponse& r) {
    if (!r.reportList.present) return;
    writeList<TSestavaRec>(out->reportList, r.reportList.value,
                           [&](TSestavaRec& entry, const auto& report) {
                             if (report) writeReport(entry, *report, how);
                           });
  });
}

void reportCounts(const Reports& family, TSestavySizes* counts) {
  family.counts(counts, [&](const schema::GenerujSestavuResponse& r) {
    const auto& list = r.reportList;
    plugin::store(&counts->reportList, plugin::listCount(list.present ? list.value.size() : 0));
    plugin::store(&counts->MessageCount, plugin::listCount(r.vysledek.size()));
  });
}

// The requests that name one report by its identifier.
template <class Request> void loadById(Reports& family, Operation op, int64_t id) {
  family.load(op, nullptr, [&] {
    auto request = std::make_unique<Request>();
    request->idSestavy = schema::TXSDecimal{std::to_string(id)};
    return request;
  });
}

} // namespace

VOKR_API void VOKR_STDCALL loadGenerujSestavyPM(const TGenerujSestavyPMIn* in) {
  generated.load(Operation::generujLVProParcelyPM, nullptr, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::GenerujLVProParcelyPMRequest>();
    request->idRizeniPM = decimal(host.idRizeniPM);
    const auto parcels = plugin::HostList::input(host.seznamParcel, kParcelIdWidth);
    for (size_t i = 0; i < parcels.count(); ++i) {
      // An empty entry still takes its place in the list, sent as a nil element.
      std::string id = plugin::readText(parcels.at<const char>(i), kParcelIdWidth);
      if (id.empty()) request->seznamParcel.emplace_back();
      else request->seznamParcel.push_back(schema::TXSDecimal{std::move(id)});
    }
    request->castecnyVypis = boolean(host.castecnyVypis) ? schema::AnoNeType::a : schema::AnoNeType::n;
    return request;
  });
}

VOKR_API void VOKR_STDCALL getGenerujSestavyPM(TSestavyOut* out) { getReports(generated, out, kGenerated); }
VOKR_API void VOKR_STDCALL getGenerujSestavyPM_ListSizes(TSestavySizes* counts) {
  reportCounts(generated, counts);
}
VOKR_API void VOKR_STDCALL freeGenerujSestavyPM() { generated.release(); }

VOKR_API void VOKR_STDCALL loadSeznamSestavLV() {
  // The list names no report: its optional idSestavy is never sent.
  listed.load(Operation::seznamSestav, nullptr, [] { return std::make_unique<schema::SeznamSestavRequest>(); });
}
VOKR_API void VOKR_STDCALL getSeznamSestavLV(TSestavyOut* out) { getReports(listed, out, kListed); }
VOKR_API void VOKR_STDCALL getSeznamSestavLV_ListSizes(TSestavySizes* counts) { reportCounts(listed, counts); }
VOKR_API void VOKR_STDCALL freeSeznamSestavLV() { listed.release(); }

VOKR_API void VOKR_STDCALL loadVratSestavuLV(int64_t idSestavy) {
  loadById<schema::VratSestavuRequest>(fetched, Operation::vratSestavu, idSestavy);
}
VOKR_API void VOKR_STDCALL getVratSestavuLV(int64_t, TSestavyOut* out) { getReports(fetched, out, kFetched); }
VOKR_API void VOKR_REGISTER getVratSestavuLV_ListSizes(TSestavySizes* counts) { reportCounts(fetched, counts); }
VOKR_API void VOKR_STDCALL freeVratSestavuLV(int64_t) { fetched.release(); }

VOKR_API void VOKR_STDCALL saveSestavuLV(int64_t, const char* path) {
  plugin::guarded([&] {
    // Only the first report is saved; no report, no file content or no path: nothing to do.
    // The export returns nothing, so a file that cannot be written leaves only the earlier one
    // as it was.
    const auto* held = fetched.held();
    if (!held || !path || !held->reportList.present || held->reportList.value.empty()) return;
    const auto& report = held->reportList.value.front();
    if (!report || !report->souborSestavy.present || report->souborSestavy.value.empty()) return;
    saveFile(plugin::readText(path, 1025), report->souborSestavy.value);
  });
}

VOKR_API void VOKR_STDCALL loadSmazSestavuLV(int64_t idSestavy) {
  loadById<schema::SmazSestavuRequest>(deleted, Operation::smazSestavu, idSestavy);
}
VOKR_API void VOKR_STDCALL getSmazSestavuLV(int64_t, THostMessageBlock* out) { deleted.get(out); }
VOKR_API void VOKR_REGISTER getSmazSestavuLV_ListSizes(TSestavySizes* counts) {
  // A deletion returns no reports worth counting: the first count is always 0.
  deleted.counts(counts, [&](const schema::GenerujSestavuResponse& r) {
    plugin::store(&counts->reportList, int32_t{0});
    plugin::store(&counts->MessageCount, plugin::listCount(r.vysledek.size()));
  });
}
VOKR_API void VOKR_STDCALL freeSmazSestavuLV(int64_t) { deleted.release(); }
