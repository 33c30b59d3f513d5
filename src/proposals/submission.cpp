// Proposal submission, ZPG and ZDP: the inner document built from the host's record, signed,
// and sent with the attachment files of its document list. The two families differ only in
// their builder, their operation and what get copies.
#include <span>
#include <variant>

#include "channel/dump.h"
#include "operations/host_values.h"
#include "plugin/family.h"
#include "plugin/settings.h"
#include "proposals/byte_sources.h"
#include "proposals/signing.h"
#include "proposals/zdp_document.h"
#include "proposals/zpg_document.h"

using namespace vokr;
using namespace vokr::operations;
using schema::Operation;

namespace {

plugin::Family<schema::ZalozNavrhZPGResponse> zpg;
plugin::Family<schema::ZalozNavrhZDPResponse> zdp;

// The value sent as hashNavrhu: the identity of the document object, its memory location cut to
// 32 bits; the service takes it as it comes, it is no digest of the content.
int32_t identityOf(const proposals::ProposalDocument& document) {
  return static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&document)));
}

// Every attachment file is opened before anything is sent; one that cannot be raises.
template <class Request>
std::unique_ptr<Request> proposalRequest(std::string signedDocument, int32_t hash,
                                         const std::vector<proposals::ProposalAttachment>& files) {
  auto request = std::make_unique<Request>();
  request->XMLNavrhu.source = std::make_shared<proposals::StringSource>(std::move(signedDocument));
  request->hashNavrhu.set(std::to_string(hash));
  for (const proposals::ProposalAttachment& file : files) {
    auto item = std::make_unique<schema::PrilohaNavrhuType>();
    item->idPrilohy = schema::TXSDecimal{file.idPrilohy};
    item->Text.source = std::make_shared<proposals::FileSource>(file.path);
    request->prilohaNavrhu.push_back(std::move(item));
  }
  return request;
}

// The load of both families: build, dump, sign, and only then let the old response go and send.
// Builder and file errors are held as code "1001", a signing failure with its status as code.
template <class Request, class Response, class In, class Build>
void submit(plugin::Family<Response>& family, Operation op, const In* in, Build&& build) noexcept {
  family.guardedStep(nullptr, [&] {
    try {
      const In& host = input(in);
      const std::string operation = schema::operationInfo(op).name;
      const proposals::ProposalDocument document = build(host);
      const channel::DumpSettings dumps = plugin::channelSettings().dumps;
      if (dumps.enabled) channel::writeDump(dumps, operation + " - vnitrni xml", "req", document.xml);
      const int32_t hash = identityOf(document);
      proposals::SigningOutcome outcome = proposals::signDocument(
          document.xml, std::span(host.signingBlock), operation, plugin::params().tmpPath, dumps);
      if (auto* failure = std::get_if<proposals::SigningFailure>(&outcome)) {
        family.holdMessage(std::to_string(failure->status), failure->text, nullptr);
        return;
      }
      family.release();
      auto request = proposalRequest<Request>(std::move(std::get<std::string>(outcome)), hash,
                                              document.attachments);
      family.call(op, *request, nullptr);
    } catch (const Error& e) {
      family.holdOwnMessage(plugin::kNotSent, e, nullptr);
    }
  });
}

const schema::RizeniPomocneType* proceeding(const schema::ZalozNavrhResponseType& r) {
  return schema::presentValue(r.rizeni);
}

void writeCounts(const schema::ZalozNavrhResponseType& r, TZalozNavrhCounts* counts) {
  plugin::store(&counts->MessageCount, plugin::listCount(r.vysledek.size()));
}

} // namespace

VOKR_API void VOKR_STDCALL loadZalozNavrhZPG(const TZalozNavrhZPGIn* in) {
  submit<schema::ZalozNavrhZPGRequest>(zpg, Operation::zalozNavrhZPG, in,
                                       proposals::buildZpgDocument);
}

VOKR_API void VOKR_STDCALL getZalozNavrhZPG(TZalozNavrhZPGOut* out) {
  zpg.get(out, [&](const schema::ZalozNavrhResponseType& r) {
    // A success without the proceeding leaves the host's fields as they were.
    const schema::RizeniPomocneType* p = proceeding(r);
    if (!p) return;
    writeDecimal(out->idRizeni, p->idRizeni);
    plugin::writeText(out->cisloPodani, p->cisloPodani);
    plugin::writeText(out->rizeniTyp, p->rizeniTyp);
    // The others only when the answer carries them.
    if (p->createDate) plugin::writeText(out->createDate, localDateTimeText(*p->createDate));
    if (p->praresKod) writeDecimal(out->praresKod, p->praresKod);
    if (p->poradoveCislo) writeDecimal(out->poradoveCislo, p->poradoveCislo);
    if (p->rok) writeDecimal(out->rok, p->rok);
    if (const auto* id = schema::presentValue(p->noveRizeniId)) writeDecimal(out->noveRizeniId, *id);
  });
}

VOKR_API void VOKR_STDCALL getZalozNavrhZPG_ListSizes(TZalozNavrhCounts* counts) {
  zpg.counts(counts, [&](const schema::ZalozNavrhResponseType& r) { writeCounts(r, counts); });
}

VOKR_API void VOKR_STDCALL freeZalozNavrhZPG() { zpg.release(); }

VOKR_API void VOKR_STDCALL loadZalozNavrhZDP(const TZalozNavrhZDPIn* in) {
  submit<schema::ZalozNavrhZDPRequest>(zdp, Operation::zalozNavrhZDP, in,
                                       proposals::buildZdpDocument);
}

VOKR_API void VOKR_STDCALL getZalozNavrhZDP(TZalozNavrhZDPOut* out) {
  zdp.get(out, [&](const schema::ZalozNavrhResponseType& r) {
    const schema::RizeniPomocneType* p = proceeding(r);
    if (!p) return;
    writeDecimal(out->idRizeni, p->idRizeni);
    plugin::writeText(out->cisloPodani, p->cisloPodani);
  });
}

VOKR_API void VOKR_STDCALL getZalozNavrhZDP_ListSizes(TZalozNavrhCounts* counts) {
  zdp.counts(counts, [&](const schema::ZalozNavrhResponseType& r) { writeCounts(r, counts); });
}

VOKR_API void VOKR_STDCALL freeZalozNavrhZDP() { zdp.release(); }
