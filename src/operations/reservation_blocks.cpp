#include "operations/reservation_blocks.h"

namespace vokr::operations {

using schema::DruhCislovaniParType;

namespace {
constexpr size_t kStemWidth = 6, kSubdivisionWidth = 4, kPointWidth = 4;

uint8_t ordinal(DruhCislovaniParType kind) { return static_cast<uint8_t>(kind); }

DruhCislovaniParType numberingKind(uint8_t byte, std::string_view field) {
  return enumeration<DruhCislovaniParType>(byte, std::string(field) + ".druhCislovaniPar");
}
} // namespace

void writeBlock(TRezervCisloZPMZRec& host, const schema::RezervCisloZPMZType& block) {
  writeDecimal(host.katuzeKod, block.katuzeKod);
  writeDecimal(host.cisloZPMZ, block.cisloZPMZ);
}

void writeBlock(TRezervParcelyRec& host, const schema::RezervParcelyType& block) {
  writeDecimal(host.katuzeKod, block.katuzeKod);
  writeDecimal(host.cisloZPMZ, block.cisloZPMZ);
  host.druhCislovaniPar = ordinal(block.druhCislovaniPar);
  writeDecimalList<kStemWidth>(host.kmenoveCislo, block.kmenoveCislo);
}

void writeBlock(TRezervPoddeleniRec& host, const schema::RezervPoddeleniType& block) {
  writeDecimal(host.katuzeKod, block.katuzeKod);
  writeDecimal(host.cisloZPMZ, block.cisloZPMZ);
  host.druhCislovaniPar = ordinal(block.druhCislovaniPar);
  writeDecimal(host.kmenoveCislo, block.kmenoveCislo);
  writeDecimalList<kSubdivisionWidth>(host.poddeleniCisla, block.poddeleniCisla);
}

void writeBlock(TRezervBodyPBPPRec& host, const schema::RezervBodyPBPPType& block) {
  writeDecimal(host.katuzeKod, block.katuzeKod);
  writeDecimalList<kPointWidth>(host.cisloPBPP, block.cisloPBPP);
}

std::unique_ptr<schema::RezervParcelyType> readBlock(const TRezervParcelyRec& host, std::string_view field) {
  auto block = std::make_unique<schema::RezervParcelyType>();
  block->katuzeKod = decimal(host.katuzeKod);
  block->cisloZPMZ = decimal(host.cisloZPMZ);
  block->druhCislovaniPar = numberingKind(host.druhCislovaniPar, field);
  block->kmenoveCislo = decimalList<kStemWidth>(host.kmenoveCislo);
  return block;
}

std::unique_ptr<schema::RezervPoddeleniType> readBlock(const TRezervPoddeleniRec& host, std::string_view field) {
  auto block = std::make_unique<schema::RezervPoddeleniType>();
  block->katuzeKod = decimal(host.katuzeKod);
  block->cisloZPMZ = decimal(host.cisloZPMZ);
  block->druhCislovaniPar = numberingKind(host.druhCislovaniPar, field);
  block->kmenoveCislo = decimal(host.kmenoveCislo);
  block->poddeleniCisla = decimalList<kSubdivisionWidth>(host.poddeleniCisla);
  return block;
}

std::unique_ptr<schema::RezervBodyPBPPType> readBlock(const TRezervBodyPBPPRec& host) {
  auto block = std::make_unique<schema::RezervBodyPBPPType>();
  block->katuzeKod = decimal(host.katuzeKod);
  block->cisloPBPP = decimalList<kPointWidth>(host.cisloPBPP);
  return block;
}

} // namespace vokr::operations
