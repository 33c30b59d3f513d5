#pragma once
// How results read: on the terminal one indented line per fact, texts as the plug-in gave them
// (they are already in the terminal's code page); for --json (show_json.cpp) objects with the
// record fields' names, texts in UTF-8.
#include <string>
#include <vector>

#include "families.h"
#include "json.h"

namespace host {

// Text on standard output, unless --json holds it back for its document.
void setTextOutput(bool on);
void say(const std::string& text);
// An indented line of the current step.
void line(const std::string& text);
void printMessages(const Messages& messages);

std::string dateTime(THostDateTime days);
// How many entries the plug-in wrote by a High field (highest index), within the list.
size_t written(size_t allocated, int32_t high);
// The letter of an export run's state (its ordinal byte).
char exportState(uint8_t stavBehu);
std::string joined(const std::vector<std::string>& items, const char* separator = ", ");
// The texts of a host list of fixed-width text entries.
template <class Entry> std::vector<std::string> texts(THostPtr list) {
  std::vector<std::string> out;
  for (const auto& e : entries<const Entry>(list)) out.push_back(get(e));
  return out;
}

void printProceedings(const TSeznamRizeniPMOut& out);
Json toJson(const TSeznamRizeniPMOut& out);
void printDetail(const TDetailRizeniPMOut& out);
Json toJson(const TDetailRizeniPMOut& out);
// Blocks the answer did not carry have an empty area code (the host zeroes the record); in
// JSON they are null.
void printElementReservations(const TVytvorRezervaciPrvkuOut& out);
Json toJson(const TVytvorRezervaciPrvkuOut& out);
void printPgpProceedings(const TSeznamRizeniPGPOut& out);
Json toJson(const TSeznamRizeniPGPOut& out);
void printReport(const TSestavaRec& report);
Json toJson(const TSestavaRec& report);
void printZpmzFile(const TSouborZPMZRec& file);
Json toJson(const TSouborZPMZRec& file);
Json toJson(const TVratSouborZPMZOut& file);
Json toJson(const TZalozRizeniPMOut& out);
Json toJson(const TVytvorRezervaciZPMZOut& out);
Json toJson(const TExportVFStatusRec& run);
Json toJson(const TZalozNavrhZPGOut& out);
Json toJson(const TZalozNavrhZDPOut& out);

// A host list of records as an array.
template <class Rec> Json listJson(THostPtr list) {
  Json a = Json::array();
  for (const Rec& r : entries<const Rec>(list)) a.push(toJson(r));
  return a;
}

} // namespace host
