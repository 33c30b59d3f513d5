// Exchange-format export: order an export of map data for a polygon, poll the state of runs.
#include "operations/host_values.h"
#include "plugin/export.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::operations;
using schema::Operation;

namespace {
plugin::Family<schema::ExportVFResponse> exportRun;
plugin::Family<schema::ExportVFStatusResponse> exportStatus;

// The host's spellings of the two character sets, compared exactly.
std::optional<schema::ZnakovaSadaVFType> charset(const std::string& text) {
  if (text == "ISO8859_2") return schema::ZnakovaSadaVFType::ISO8859_2;
  if (text == "CP1250") return schema::ZnakovaSadaVFType::CP1250;
  return std::nullopt;
}

constexpr std::pair<uint8_t TExportVFIn::*, bool schema::ExportVFRequestType::*> kSwitches[] = {
    {&TExportVFIn::skNemo, &schema::ExportVFRequestType::skNemo},
    {&TExportVFIn::skBdpa, &schema::ExportVFRequestType::skBdpa},
    {&TExportVFIn::skVlst, &schema::ExportVFRequestType::skVlst},
    {&TExportVFIn::skJpvz, &schema::ExportVFRequestType::skJpvz},
    {&TExportVFIn::skPkmp, &schema::ExportVFRequestType::skPkmp},
    {&TExportVFIn::skBpej, &schema::ExportVFRequestType::skBpej},
    {&TExportVFIn::skGmpl, &schema::ExportVFRequestType::skGmpl},
    {&TExportVFIn::skReze, &schema::ExportVFRequestType::skReze},
    {&TExportVFIn::skDebo, &schema::ExportVFRequestType::skDebo},
};

// The reference system every position repeats after the polygon.
struct Reference {
  std::string srsName;
  std::optional<schema::TXSDecimal> srsDimension;
};

// One position per host entry, in host order; a closed ring is the host's to close.
std::unique_ptr<schema::LinearRing> ring(THostPtr positions, const Reference& reference) {
  auto ring = std::make_unique<schema::LinearRing>();
  const auto host = plugin::HostList::input(positions, sizeof(TPosRec));
  if (host.count() == 0) return ring;
  std::vector<std::unique_ptr<schema::pos>> list;
  for (size_t i = 0; i < host.count(); ++i) {
    const auto& entry = *host.at<const TPosRec>(i);
    auto p = std::make_unique<schema::pos>();
    p->Text = plugin::readText(entry.Coord1) + " " + plugin::readText(entry.Coord2);
    p->srsName.set(reference.srsName);
    p->srsDimension.set(reference.srsDimension);
    list.push_back(std::move(p));
  }
  ring->pos.set(std::move(list));
  return ring;
}

std::unique_ptr<schema::Polygon> polygon(const TExportVFIn& host) {
  const Reference reference{plugin::readText(host.srsName), decimal(host.srsDimension)};
  auto polygon = std::make_unique<schema::Polygon>();
  polygon->id = plugin::readText(host.PolygonId);
  polygon->srsName.set(reference.srsName);
  polygon->srsDimension.set(reference.srsDimension);

  auto exterior = std::make_unique<schema::exterior>();
  exterior->AbstractRing = ring(host.Exterior, reference);
  polygon->exterior.set(std::move(exterior));

  const auto interiors = plugin::HostList::input(host.Interiors, sizeof(THostPtr));
  if (interiors.count() == 0) return polygon;
  std::vector<std::unique_ptr<schema::interior>> list;
  for (size_t i = 0; i < interiors.count(); ++i) {
    auto interior = std::make_unique<schema::interior>();
    interior->AbstractRing = ring(plugin::load<THostPtr>(interiors.entry(i)), reference);
    list.push_back(std::move(interior));
  }
  polygon->interior.set(std::move(list));
  return polygon;
}

void writeStatus(TExportVFStatusRec& entry, const schema::ExportVFStatusType& item) {
  writeDecimal(entry.behId, item.behId.value);
  entry.stavBehu = item.stavBehu.present ? static_cast<uint8_t>(item.stavBehu.value) : 0;
  plugin::writeText(entry.linkVF, item.linkVF.present ? item.linkVF.value : std::string());
  plugin::writeText(entry.hashExportu, item.hashExportu.present ? item.hashExportu.value : std::string());
}

} // namespace

VOKR_API void VOKR_STDCALL loadExportVF(const TExportVFIn* in, char* result, int32_t) {
  exportRun.load(Operation::exportVF, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::ExportVFRequest>();
    request->idRizeni = decimal(host.idRizeni);
    if (auto set = charset(plugin::readText(host.charset))) request->charset.set(*set);
    request->email = plugin::readText(host.email);
    request->Polygon = polygon(host);
    for (auto [hostSwitch, requestSwitch] : kSwitches) (*request).*requestSwitch = boolean(host.*hostSwitch);
    return request;
  });
}

VOKR_API void VOKR_STDCALL getExportVF(char*, int32_t, TExportVFOut* out) {
  exportRun.get(out, [&](const schema::ExportVFResponse& r) {
    // A success without a run identifier leaves the host's field as it was.
    if (const auto* id = schema::presentValue(r.behId)) writeDecimal(out->behId, *id);
  });
}

VOKR_API void VOKR_STDCALL getExportVF_ListSizes(char*, int32_t, TMessageCounts* counts) {
  exportRun.messageCounts(counts);
}

VOKR_API void VOKR_STDCALL freeExportVF(char*, int32_t) { exportRun.release(); }

VOKR_API void VOKR_STDCALL loadExportVFStatus(const TExportVFStatusIn* in, char* result, int32_t) {
  exportStatus.load(Operation::exportVFStatus, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::ExportVFStatusRequest>();
    if (std::string behId = plugin::readText(host.behId); !behId.empty())
      request->behId.set(schema::TXSDecimal{behId});
    return request;
  });
}

VOKR_API void VOKR_STDCALL getExportVFStatus(char*, int32_t, TExportVFStatusOut* out) {
  exportStatus.get(out, [&](const schema::ExportVFStatusResponse& r) {
    if (!r.exportVFStatusList.present) return;
    writeList<TExportVFStatusRec>(out->exportVFStatusList, r.exportVFStatusList.value,
                                  [](TExportVFStatusRec& entry, const auto& item) {
                                    if (item) writeStatus(entry, *item);
                                  });
  });
}

VOKR_API void VOKR_STDCALL getExportVFStatus_ListSizes(char*, int32_t, TExportVFStatusSizes* counts) {
  exportStatus.counts(counts, [&](const schema::ExportVFStatusResponse& r) {
    const auto& list = r.exportVFStatusList;
    plugin::store(&counts->exportVFStatusList, plugin::listCount(list.present ? list.value.size() : 0));
    plugin::store(&counts->MessageCount, plugin::listCount(r.vysledek.size()));
  });
}

VOKR_API void VOKR_STDCALL freeExportVFStatus(char*, int32_t) { exportStatus.release(); }
