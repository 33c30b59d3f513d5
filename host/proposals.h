#pragma once
// The proposal input records, filled from what the surveyor gives: one document with its
// attachment, the affected area and parcels, the applicant, the signing key.
#include <string>
#include <vector>

#include "families.h"
#include "options.h"

namespace host {

struct ProposalData {
  std::string job, office, area, zpmz, proceedingId, attachment, note, date;
  std::vector<std::string> parcels;
  // The applicant, a natural person reached through a data box.
  std::string firstName, surname, birthDate, dataBox;
  std::string street, houseNumber, postCode, municipality;
};

// The applicant and address of --applicant, --birth-date, --data-box and --address, and the
// rest of a ZPG proposal's data from the other options; throws UsageError for what is missing.
ProposalData proposalFromOptions(const Options& o);
// Today in the form of a document's date of issue.
std::string today();
// The full path of an existing attachment; throws FileError.
std::string attachmentPath(const std::string& path);

TZalozNavrhZPGIn& zpgRecord(Families& f, const ProposalData& d, const Options& signing);
// A ZDP proposal for the plan-confirmation proceeding TYPE NUMBER/YEAR of an office.
TZalozNavrhZDPIn& zdpRecord(Families& f, const ProposalData& d, const std::string& rizeniTyp,
                            const std::string& poradoveCislo, const std::string& rok, const Options& signing);

} // namespace host
