// ZPMZ files: list the documents of a surveying result, fetch one and save it, or download a
// set of them into a directory in one call.
#include "operations/host_values.h"
#include "operations/saved_file.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "plugin/export.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::operations;
using schema::Operation;

namespace {

plugin::Family<schema::NajdiSouborZPMZResponse> search;
plugin::Family<schema::VratSouborZPMZResponse> file;

constexpr size_t kDocumentIdWidth = sizeof(TVratSouborZPMZIn::zpmzDokumentId);
constexpr size_t kPathWidth = 1025;

// The result number is integer text; the service takes a 32-bit integer, so only the low 32
// bits of the value travel.
template <size_t N> int32_t resultNumber(const char (&field)[N]) {
  const std::string text = plugin::readText(field);
  const auto value = integer64(text);
  if (!value) throw Error(ErrorKind::ConvertError, "'" + text + "' is not a valid integer value");
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(*value)));
}

void loadFile(const TVratSouborZPMZIn* in) {
  file.load(Operation::vratSouborZPMZ, nullptr, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::VratSouborZPMZRequest>();
    request->katuzeKod = decimal(host.katuzeKod);
    request->cisloVysledkuZemCinnosti = resultNumber(host.cisloVysledkuZemCinnosti);
    request->zpmzDokumentId = decimal(host.zpmzDokumentId);
    return request;
  });
}

void getFile(TVratSouborZPMZOut* out) {
  file.get(out, [&](const schema::VratSouborZPMZResponse& r) {
    // A success without the file leaves the host's fields as they were.
    const auto* found = schema::presentValue(r.souborZPMZ);
    if (!found) return;
    const auto& f = *found;
    writeDecimal(out->zpmzDokumentId, f.zpmzDokumentId);
    plugin::writeText(out->nazevSouboru, f.nazevSouboru);
    writeDecimal(out->velikostSouboru, f.velikostSouboru);
  });
}

// The held file, if a file is held.
const schema::SouborZPMZType* heldFile() {
  const auto* held = file.held();
  return held ? schema::presentValue(held->souborZPMZ) : nullptr;
}

// A name the service gives a downloaded file: it must name a file directly in the target
// folder, so no empty name, no path (no '/', '\' or ':', so nothing absolute either), and
// neither "." nor "..".
bool isPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\:") == std::string_view::npos;
}

// An entry whose file is not there: its first message says why, in place of the service's
// success. Code "1000" (the file is in use) sets the call-failure flag, any other the error flag.
void reportOnEntry(TVratSouborZPMZOut& entry, std::string_view code, const std::string& text) {
  entry.zpravy.success = 0;
  (code == plugin::kCallFailed ? entry.zpravy.callFailure : entry.zpravy.error) = 1;
  plugin::HostList messages(plugin::load<THostPtr>(&entry.zpravy.messages), sizeof(THostMessageRec));
  if (messages.count() == 0) return;
  auto* first = messages.at<THostMessageRec>(0);
  plugin::writeText(first->kod, code);
  first->uroven = static_cast<uint8_t>(schema::ZpravaServeruTypeType::CHYBA);
  plugin::writeText(first->text, text);
}

// One document of a download: fetched into the held response, copied to its entry, saved.
void download(const TDwnldFilesZPMZIn& in, const char* documentId, const std::string& directory,
              TVratSouborZPMZOut& entry) {
  TVratSouborZPMZIn one{};
  std::memcpy(one.katuzeKod, in.katuzeKod, sizeof one.katuzeKod);
  std::memcpy(one.cisloVysledkuZemCinnosti, in.cisloVysledkuZemCinnosti, sizeof one.cisloVysledkuZemCinnosti);
  std::memcpy(one.zpmzDokumentId, documentId, kDocumentIdWidth);
  loadFile(&one);
  getFile(&entry);
  // A document that did not arrive has nothing to write, and its entry keeps the reason.
  const schema::SouborZPMZType* f = heldFile();
  if (!f) return;
  try {
    if (!isPlainFileName(f->nazevSouboru))
      throw Error(ErrorKind::InOutError, "refused file name \"" + f->nazevSouboru +
                                             "\": not a file directly in " + directory);
    const std::string path = directory + f->nazevSouboru;
    if (saveFile(path, f->obsahSouboru) == Saved::inUse)
      reportOnEntry(entry, plugin::kCallFailed, "File in use: " + path);
  } catch (const Error& e) {
    reportOnEntry(entry, plugin::kNotSent, std::string(e.kindName()) + "; " + e.what());
  }
}

} // namespace

VOKR_API void VOKR_STDCALL loadNajdiSouborZPMZ(const TNajdiSouborZPMZIn* in) {
  search.load(Operation::najdiSouborZPMZ, nullptr, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::NajdiSouborZPMZRequest>();
    request->katuzeKod = decimal(host.katuzeKod);
    request->cisloVysledkuZemCinnosti = resultNumber(host.cisloVysledkuZemCinnosti);
    return request;
  });
}

VOKR_API void VOKR_STDCALL getNajdiSouborZPMZ(TNajdiSouborZPMZOut* out) {
  search.get(out, [&](const schema::NajdiSouborZPMZResponse& r) {
    if (!r.souborZPMZList.present) return;
    writeList<TSouborZPMZRec>(out->souborZPMZList, r.souborZPMZList.value,
                              [](TSouborZPMZRec& entry, const auto& f) {
                                if (!f) return;
                                writeDecimal(entry.zpmzDokumentId, f->zpmzDokumentId);
                                plugin::writeText(entry.nazevSouboru, f->nazevSouboru);
                                writeDecimal(entry.velikostSouboru, f->velikostSouboru);
                              });
  });
}

VOKR_API void VOKR_STDCALL getNajdiSouborZPMZ_ListSizes(TNajdiSouborZPMZSizes* counts) {
  search.counts(counts, [&](const schema::NajdiSouborZPMZResponse& r) {
    const auto& list = r.souborZPMZList;
    plugin::store(&counts->MessageCount, plugin::listCount(r.vysledek.size()));
    plugin::store(&counts->souborZPMZList, plugin::listCount(list.present ? list.value.size() : 0));
  });
}

VOKR_API void VOKR_STDCALL freeNajdiSouborZPMZ() { search.release(); }

VOKR_API void VOKR_STDCALL loadVratSouborZPMZ(const TVratSouborZPMZIn* in) { loadFile(in); }
VOKR_API void VOKR_STDCALL getVratSouborZPMZ(TVratSouborZPMZOut* out) { getFile(out); }
VOKR_API void VOKR_REGISTER getVratSouborZPMZ_ListSizes(TMessageCounts* counts) { file.messageCounts(counts); }
VOKR_API void VOKR_STDCALL freeVratSouborZPMZ() { file.release(); }

VOKR_API void VOKR_STDCALL saveSouborZPMZ(const char* path) {
  plugin::guarded([&] {
    // Empty content is still a file: an empty one. The export returns nothing, so a file
    // that cannot be written leaves only the earlier one as it was.
    if (const schema::SouborZPMZType* f = heldFile(); f && path)
      saveFile(plugin::readText(path, kPathWidth), f->obsahSouboru);
  });
}

VOKR_API void VOKR_STDCALL dwnldFilesZPMZ(const TDwnldFilesZPMZIn* in, const THostPtr* results, int32_t count) {
  plugin::guarded([&] {
    if (!in || !results || count <= 0) return;
    // Never past either host list, whatever count says.
    plugin::HostList ids(in->DocumentIds, kDocumentIdWidth);
    plugin::HostList entries(plugin::load<THostPtr>(results), sizeof(TVratSouborZPMZOut));
    const size_t n = std::min({size_t(count), ids.count(), entries.count()});
    const std::string directory = platform::withDelimiter(plugin::readText(in->TargetDir));
    for (size_t i = 0; i < n; ++i) {
      plugin::guarded([&] { download(*in, ids.at<const char>(i), directory, *entries.at<TVratSouborZPMZOut>(i)); });
      file.release();  // a large file is not kept past its own turn
    }
  });
}
