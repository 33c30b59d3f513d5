#pragma once
// How many 32-bit argument slots each export takes from the stack; kRegister marks the
// exports that take their one argument in EAX and remove nothing.
#include <cstdint>

namespace vokr::test {

inline constexpr int kRegister = -1;

struct ExportSlots {
  const char* name;
  int slots;
};

// In 1, result text 2, ignored character array 2, Out 1, Counts 1, Id 2, Path 1, Index 1.
inline constexpr ExportSlots kExportSlots[] = {
    {"GetPelkPluginName", 2},
    {"GetPelkPluginVersion", 2},
    {"GetPelkPluginInfo", 2},
    {"GetVOKRVersion", 2},
    {"SetConnectInfo", 1},
    {"GetConnectInfo", 1},
    {"ClearConnectInfo", 0},
    {"SetVOKRParams", 1},
    {"GetVOKRParams", 1},
    {"loadVytvorRezervaciZPMZ", 3},
    {"getVytvorRezervaciZPMZ", 3},
    {"getVytvorRezervaciZPMZ_ListSizes", 3},
    {"freeVytvorRezervaciZPMZ", 2},
    {"loadZrusRezervaciZPMZ", 3},
    {"getZrusRezervaciZPMZ", 3},
    {"getZrusRezervaciZPMZ_ListSizes", 3},
    {"freeZrusRezervaciZPMZ", 2},
    {"loadZalozNavrhZPG", 1},
    {"getZalozNavrhZPG", 1},
    {"getZalozNavrhZPG_ListSizes", 1},
    {"freeZalozNavrhZPG", 0},
    {"loadZalozNavrhZDP", 1},
    {"getZalozNavrhZDP", 1},
    {"getZalozNavrhZDP_ListSizes", 1},
    {"freeZalozNavrhZDP", 0},
    {"loadZalozRizeniPM", 3},
    {"getZalozRizeniPM", 3},
    {"getZalozRizeniPM_ListSizes", 3},
    {"freeZalozRizeniPM", 2},
    {"loadDetailRizeniPM", 3},
    {"getDetailRizeniPM", 3},
    {"getDetailRizeniPM_ListSizes", 3},
    {"getDetailRizeniPM_RezervParCislaListItemSize", 3},
    {"getDetailRizeniPM_RezervPoddeleniListItemSize", 3},
    {"getDetailRizeniPM_RezervPBPPListItemSize", 3},
    {"freeDetailRizeniPM", 2},
    {"loadSeznamRizeniPM", 2},
    {"getSeznamRizeniPM", 3},
    {"getSeznamRizeniPM_ListSizes", 3},
    {"freeSeznamRizeniPM", 2},
    {"loadMylneRizeniPM", 3},
    {"getMylneRizeniPM", 3},
    {"getMylneRizeniPM_ListSizes", 3},
    {"freeMylneRizeniPM", 2},
    {"loadVlozParceluPM", 3},
    {"getVlozParceluPM", 3},
    {"getVlozParceluPM_ListSizes", 3},
    {"freeVlozParceluPM", 2},
    {"loadVytvorRezervaciPrvku", 3},
    {"getVytvorRezervaciPrvku", 3},
    {"getVytvorRezervaciPrvku_ListSizes", 3},
    {"freeVytvorRezervaciPrvku", 2},
    {"loadZrusRezervaciPrvku", 3},
    {"getZrusRezervaciPrvku", 3},
    {"getZrusRezervaciPrvku_ListSizes", 3},
    {"freeZrusRezervaciPrvku", 2},
    {"loadSeznamRizeniPGP", 2},
    {"getSeznamRizeniPGP", 3},
    {"getSeznamRizeniPGP_ListSizes", 3},
    {"freeSeznamRizeniPGP", 2},
    // @families
};

} // namespace vokr::test
