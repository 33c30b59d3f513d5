#pragma once
// The host shape of reserved numbers: the entries of the proceeding detail's lists, the blocks
// an element reservation returns and the blocks its cancellation sends.
#include <memory>

#include "operations/host_values.h"

namespace vokr::operations {

// Text fields, the numbering-kind byte and the numbers, each list never past its host count.
void writeBlock(TRezervCisloZPMZRec& host, const schema::RezervCisloZPMZType& block);
void writeBlock(TRezervParcelyRec& host, const schema::RezervParcelyType& block);
void writeBlock(TRezervPoddeleniRec& host, const schema::RezervPoddeleniType& block);
void writeBlock(TRezervBodyPBPPRec& host, const schema::RezervBodyPBPPType& block);

// A host list of blocks; items the answer lacks are skipped.
template <class Rec, class Block>
size_t writeBlocks(THostPtr list, const std::vector<std::unique_ptr<Block>>& blocks) {
  return writeList<Rec>(list, blocks, [](Rec& host, const std::unique_ptr<Block>& block) {
    if (block) writeBlock(host, *block);
  });
}

// Blocks to send, with every number of their host lists. `field` names the block in errors.
std::unique_ptr<schema::RezervParcelyType> readBlock(const TRezervParcelyRec& host, std::string_view field);
std::unique_ptr<schema::RezervPoddeleniType> readBlock(const TRezervPoddeleniRec& host, std::string_view field);
std::unique_ptr<schema::RezervBodyPBPPType> readBlock(const TRezervBodyPBPPRec& host);

} // namespace vokr::operations
