#pragma once
// The answers' records as JSON for --json: members named as the record fields, texts in UTF-8.
#include "families.h"
#include "json.h"

namespace host {

Json toJson(const TZalozRizeniPMOut& out);
Json toJson(const TSeznamRizeniPMOut& out);
Json toJson(const TDetailRizeniPMOut& out);
Json toJson(const TVytvorRezervaciZPMZOut& out);
// Blocks the answer did not carry (empty area code) are null.
Json toJson(const TVytvorRezervaciPrvkuOut& out);
Json toJson(const TSeznamRizeniPGPOut& out);
Json toJson(const TExportVFStatusRec& run);
Json toJson(const TSestavaRec& report);
Json toJson(const TSouborZPMZRec& file);
Json toJson(const TZalozNavrhZPGOut& out);
Json toJson(const TZalozNavrhZDPOut& out);

// A host list of records as an array.
template <class Rec> Json listJson(THostPtr list) {
  Json a = Json::array();
  for (const Rec& r : entries<const Rec>(list)) a.push(toJson(r));
  return a;
}

} // namespace host
