#pragma once
// The plug-in, loaded as a host loads it (dlopen, LoadLibrary) and reached only through its
// exports, each called through a pointer of the type include/vokr.h declares (calling
// convention included).
#include <string>

#include "vokr.h"

namespace host {

#define VOKR_HOST_EXPORTS(X)                                                                      \
  X(GetPelkPluginName) X(GetPelkPluginVersion) X(GetPelkPluginInfo) X(GetVOKRVersion)             \
  X(SetConnectInfo) X(GetConnectInfo) X(ClearConnectInfo) X(SetVOKRParams) X(GetVOKRParams)       \
  X(loadVytvorRezervaciZPMZ) X(getVytvorRezervaciZPMZ) X(getVytvorRezervaciZPMZ_ListSizes)        \
  X(freeVytvorRezervaciZPMZ)                                                                      \
  X(loadZrusRezervaciZPMZ) X(getZrusRezervaciZPMZ) X(getZrusRezervaciZPMZ_ListSizes)              \
  X(freeZrusRezervaciZPMZ)                                                                        \
  X(loadZalozRizeniPM) X(getZalozRizeniPM) X(getZalozRizeniPM_ListSizes) X(freeZalozRizeniPM)     \
  X(loadDetailRizeniPM) X(getDetailRizeniPM) X(getDetailRizeniPM_ListSizes)                       \
  X(getDetailRizeniPM_RezervParCislaListItemSize) X(getDetailRizeniPM_RezervPoddeleniListItemSize) \
  X(getDetailRizeniPM_RezervPBPPListItemSize) X(freeDetailRizeniPM)                               \
  X(loadSeznamRizeniPM) X(getSeznamRizeniPM) X(getSeznamRizeniPM_ListSizes) X(freeSeznamRizeniPM) \
  X(loadMylneRizeniPM) X(getMylneRizeniPM) X(getMylneRizeniPM_ListSizes) X(freeMylneRizeniPM)     \
  X(loadVlozParceluPM) X(getVlozParceluPM) X(getVlozParceluPM_ListSizes) X(freeVlozParceluPM)     \
  X(loadVytvorRezervaciPrvku) X(getVytvorRezervaciPrvku) X(getVytvorRezervaciPrvku_ListSizes)     \
  X(freeVytvorRezervaciPrvku)                                                                     \
  X(loadZrusRezervaciPrvku) X(getZrusRezervaciPrvku) X(getZrusRezervaciPrvku_ListSizes)           \
  X(freeZrusRezervaciPrvku)                                                                       \
  X(loadSeznamRizeniPGP) X(getSeznamRizeniPGP) X(getSeznamRizeniPGP_ListSizes)                    \
  X(freeSeznamRizeniPGP)                                                                          \
  X(loadExportVF) X(getExportVF) X(getExportVF_ListSizes) X(freeExportVF)                         \
  X(loadExportVFStatus) X(getExportVFStatus) X(getExportVFStatus_ListSizes) X(freeExportVFStatus) \
  X(loadGenerujSestavyPM) X(getGenerujSestavyPM) X(getGenerujSestavyPM_ListSizes)                 \
  X(freeGenerujSestavyPM)                                                                         \
  X(loadSeznamSestavLV) X(getSeznamSestavLV) X(getSeznamSestavLV_ListSizes) X(freeSeznamSestavLV) \
  X(loadVratSestavuLV) X(getVratSestavuLV) X(getVratSestavuLV_ListSizes) X(freeVratSestavuLV)     \
  X(saveSestavuLV)                                                                                \
  X(loadSmazSestavuLV) X(getSmazSestavuLV) X(getSmazSestavuLV_ListSizes) X(freeSmazSestavuLV)     \
  X(loadNajdiSouborZPMZ) X(getNajdiSouborZPMZ) X(getNajdiSouborZPMZ_ListSizes)                    \
  X(freeNajdiSouborZPMZ)                                                                          \
  X(loadVratSouborZPMZ) X(getVratSouborZPMZ) X(getVratSouborZPMZ_ListSizes) X(freeVratSouborZPMZ) \
  X(saveSouborZPMZ) X(dwnldFilesZPMZ)                                                             \
  X(loadZalozNavrhZPG) X(getZalozNavrhZPG) X(getZalozNavrhZPG_ListSizes) X(freeZalozNavrhZPG)     \
  X(loadZalozNavrhZDP) X(getZalozNavrhZDP) X(getZalozNavrhZDP_ListSizes) X(freeZalozNavrhZDP)

struct Exports {
#define VOKR_HOST_MEMBER(name) decltype(&::name) name = nullptr;
  VOKR_HOST_EXPORTS(VOKR_HOST_MEMBER)
#undef VOKR_HOST_MEMBER
};

class Plugin {
public:
  // Loads the library and looks up every export; throws HostError naming what is missing.
  explicit Plugin(const std::string& path);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  const Exports& operator*() const { return exports_; }
  const Exports* operator->() const { return &exports_; }
  const std::string& path() const { return path_; }

private:
  std::string path_;
  void* handle_ = nullptr;
  Exports exports_;
};

// libvokr.so in the directory of this executable.
std::string defaultPluginPath();

} // namespace host
