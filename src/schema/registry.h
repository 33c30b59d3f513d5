#pragma once
// The port type geo: its operations in port-type order, each with its SOAP action and its
// request and response classes. Filled once at library load, read-only afterwards.
#include <cstddef>

namespace vokr::schema {

struct ClassInfo;

enum class Operation : int {
  stavWS,
  zalozRizeniPM,
  vytvorRezervaciZPMZ,
  zrusRezervaciZPMZ,
  vytvorRezervaciPrvku,
  zrusRezervaciPrvku,
  mylneRizeniPM,
  seznamRizeniPM,
  detailRizeniPM,
  exportVF,
  exportVFStatus,
  zalozNavrhZPG,
  zalozNavrhZDP,
  seznamRizeniPGP,
  vlozParcelu,
  generujLVProParcelyPM,
  seznamSestav,
  smazSestavu,
  vratSestavu,
  najdiSouborZPMZ,
  vratSouborZPMZ,
};
inline constexpr size_t kOperationCount = 21;

struct OperationInfo {
  const char* name;        // method name of the port type, e.g. "exportVF"
  const char* soapAction;  // full action URI, e.g. ".../geows/exportNVF"
  const ClassInfo* request;
  const ClassInfo* response;
};

const OperationInfo& operationInfo(Operation op);

} // namespace vokr::schema
