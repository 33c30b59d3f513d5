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
    // @families
};

} // namespace vokr::test
