#pragma once
// The entries of the host lists that hold plain text fields, one name each. Their widths are
// those of the record fields holding the same values; parcel identifiers, subdivision and
// survey-point numbers and notes appear in no record field of their own, so their widths are
// the ones the header states beside the lists.
#include "vokr.h"

namespace host {

using AreaCode = char[sizeof(TRezervCisloZPMZRec::katuzeKod)];
using ZpmzNumber = char[sizeof(TRezervCisloZPMZRec::cisloZPMZ)];
using StemNumber = char[sizeof(TRezervPoddeleniRec::kmenoveCislo)];
using DocumentId = char[sizeof(TSouborZPMZRec::zpmzDokumentId)];
using ParcelId = char[31];
using SubdivisionNumber = char[4];
using PointNumber = char[4];
using Note = char[4001];

} // namespace host
