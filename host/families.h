#pragma once
// The plug-in's operation families driven the way a host drives them: load, ListSizes, host
// lists allocated to the reported counts (nested ones by the item-size exports or the reported
// maxima), get, free. Every call returns the get output record, which stays in host memory
// with its lists, and the server messages it received.
#include <functional>
#include <string>
#include <vector>

#include "host_memory.h"
#include "host_text.h"
#include "list_entries.h"
#include "plugin.h"

namespace host {

struct Message {
  std::string kod;
  uint8_t uroven;  // 0 INFORMACE, 1 VAROVANI, 2 CHYBA
  std::string text;
};

// A host message block after get.
struct Messages {
  bool success = false, information = false, warning = false, error = false, callFailure = false;
  std::vector<Message> list;
};

template <class Out> struct Answer {
  Out* out;
  Messages messages;
  bool ok() const { return messages.success; }
};

// Numbers to reserve inside a proceeding; a count of 0 leaves its block out.
struct ElementOrder {
  std::string idRizeniPM, katuzeKod, cisloZPMZ;
  int stems = 0;
  std::string subdividedStem;
  int subdivisions = 0;
  int points = 0;
};

// Reservation blocks to give back; null leaves a block out.
struct ElementRelease {
  std::string idRizeniPM;
  const TRezervParcelyRec* stems = nullptr;
  const TRezervPoddeleniRec* subdivisions = nullptr;
  const TRezervBodyPBPPRec* points = nullptr;
};

class Families {
public:
  Families(const Exports& exports, HostMemory& memory) : x_(exports), memory_(memory) {}

  HostMemory& memory() { return memory_; }
  // A host list of fixed-width text entries (one of list_entries.h).
  template <class Entry> THostPtr textList(const std::vector<std::string>& texts, std::string_view what);

  Answer<TZalozRizeniPMOut> zalozRizeniPM(const std::string& cisloZakazky,
                                          const std::vector<std::string>& areas,
                                          const std::vector<std::string>& parcels);
  Answer<TSeznamRizeniPMOut> seznamRizeniPM();
  Answer<TDetailRizeniPMOut> detailRizeniPM(const std::string& idRizeniPM, bool reservations);
  Answer<THostMessageBlock> mylneRizeniPM(const std::string& idRizeniPM, const std::string& popis);
  Answer<THostMessageBlock> vlozParceluPM(const std::string& idRizeniPM,
                                          const std::vector<std::string>& parcels);
  Answer<TVytvorRezervaciZPMZOut> vytvorRezervaciZPMZ(const std::string& idRizeniPM,
                                                      const std::string& katuzeKod);
  Answer<THostMessageBlock> zrusRezervaciZPMZ(const std::string& idRizeniPM,
                                              const std::string& katuzeKod,
                                              const std::string& cisloZPMZ);
  Answer<TVytvorRezervaciPrvkuOut> vytvorRezervaciPrvku(const ElementOrder& order);
  Answer<THostMessageBlock> zrusRezervaciPrvku(const ElementRelease& release);
  Answer<TSeznamRizeniPGPOut> seznamRizeniPGP();
  Answer<TExportVFOut> exportVF(const TExportVFIn& in);
  Answer<TExportVFStatusOut> exportVFStatus(const std::string& behId);
  Answer<TSestavyOut> generujSestavyPM(const std::string& idRizeniPM,
                                       const std::vector<std::string>& parcels, bool partial);
  Answer<TSestavyOut> seznamSestavLV();
  // Fetches a report and, when savePath is not empty, has the plug-in save its file there.
  Answer<TSestavyOut> vratSestavuLV(int64_t idSestavy, const std::string& savePath);
  Answer<THostMessageBlock> smazSestavuLV(int64_t idSestavy);
  Answer<TNajdiSouborZPMZOut> najdiSouborZPMZ(const std::string& katuzeKod,
                                              const std::string& cisloVysledku);
  // One document fetched and, when savePath is not empty, saved there by saveSouborZPMZ.
  Answer<TVratSouborZPMZOut> vratSouborZPMZ(const std::string& katuzeKod,
                                            const std::string& cisloVysledku,
                                            const std::string& zpmzDokumentId,
                                            const std::string& savePath);
  // One document fetched and saved into targetDir by dwnldFilesZPMZ.
  Answer<TVratSouborZPMZOut> dwnldFileZPMZ(const std::string& katuzeKod,
                                           const std::string& cisloVysledku,
                                           const std::string& targetDir,
                                           const std::string& zpmzDokumentId);
  Answer<TZalozNavrhZPGOut> zalozNavrhZPG(const TZalozNavrhZPGIn& in);
  Answer<TZalozNavrhZDPOut> zalozNavrhZDP(const TZalozNavrhZDPIn& in);

private:
  // One operation cycle: load, ListSizes, the output record with its message list and the
  // lists `prepare` allocates from the counts, get, `held` while the answer is still held
  // (saving its file), free. `exports` are the family's ListSizes, get and free exports;
  // `id` is the report id of the families whose exports take one.
  template <class Counts, class Out, class Load, class Exports3, class Prepare>
  Answer<Out> cycle(Load load, const Exports3& exports, Prepare prepare, int64_t id = 0,
                    const std::function<void(Out&)>& held = {});
  // A host path field for the save exports; empty when nothing is to be saved.
  const char* pathField(const std::string& path, std::string_view what);

  const Exports& x_;
  HostMemory& memory_;
};

Messages readMessages(const THostMessageBlock& block);

template <class Entry>
THostPtr Families::textList(const std::vector<std::string>& texts, std::string_view what) {
  THostPtr list = memory_.list<Entry>(static_cast<int32_t>(texts.size()));
  auto* entry = fromHost<Entry>(list);
  for (const std::string& t : texts) put(*entry++, t, what);
  return list;
}

} // namespace host
