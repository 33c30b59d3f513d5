#pragma once
// The plug-in's operation families driven the way a host drives them: load, ListSizes, host
// lists allocated to the reported counts (nested ones by the item-size exports or the reported
// maxima), get, free. Every call returns the get output record, which stays in host memory
// with its lists, and the server messages it received.
#include <string>
#include <vector>

#include "host_memory.h"
#include "host_text.h"
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
  // A host list of fixed-width text entries.
  template <size_t N> THostPtr textList(const std::vector<std::string>& texts, std::string_view what);

  Answer<TZalozRizeniPMOut> zalozRizeniPM(const std::string& cisloZakazky,
                                          const std::vector<std::string>& areas,
                                          const std::vector<std::string>& parcels);
  Answer<TSeznamRizeniPMOut> seznamRizeniPM();
  Answer<TDetailRizeniPMOut> detailRizeniPM(const std::string& idRizeniPM, bool reservations);
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
  // One document fetched and saved into targetDir by dwnldFilesZPMZ.
  Answer<TVratSouborZPMZOut> dwnldFileZPMZ(const std::string& katuzeKod,
                                           const std::string& cisloVysledku,
                                           const std::string& targetDir,
                                           const std::string& zpmzDokumentId);
  Answer<TZalozNavrhZPGOut> zalozNavrhZPG(const TZalozNavrhZPGIn& in);
  Answer<TZalozNavrhZDPOut> zalozNavrhZDP(const TZalozNavrhZDPIn& in);

private:
  // Gives a message block a list of `count` records (none for -1).
  void attach(THostMessageBlock& block, int32_t count);

  const Exports& x_;
  HostMemory& memory_;
};

Messages readMessages(const THostMessageBlock& block);

template <size_t N>
THostPtr Families::textList(const std::vector<std::string>& texts, std::string_view what) {
  THostPtr list = memory_.list(static_cast<int32_t>(texts.size()), N);
  auto* entry = fromHost<char[N]>(list);
  for (const std::string& t : texts) put(*entry++, t, what);
  return list;
}

} // namespace host
