#include "plugin/family.h"

#include "channel/channel.h"
#include "plugin/settings.h"

namespace vokr::plugin {

namespace {

class CadastreService final : public Service {
public:
  std::unique_ptr<schema::TRemotable> call(schema::Operation op,
                                           const schema::TRemotable& request) override {
    return channel::call(channelSettings(), op, request);
  }
};

} // namespace

Service& cadastreService() {
  static CadastreService service;
  return service;
}

std::unique_ptr<schema::ZpravaServeruType> ownMessage(std::string_view code, std::string text) {
  auto m = std::make_unique<schema::ZpravaServeruType>();
  m->kod = schema::TXSDecimal{std::string(code)};
  m->uroven = schema::ZpravaServeruTypeType::CHYBA;
  m->Text = std::move(text);
  return m;
}

bool copyMessages(const Messages& messages, THostMessageBlock* block) {
  uint8_t flags[5] = {0, 0, 0, 0, 0};
  HostList list(load<THostPtr>(&block->messages), sizeof(THostMessageRec));
  for (size_t i = 0; i < messages.size() && i < list.count(); ++i) {
    const schema::ZpravaServeruType& m = *messages[i];
    auto* rec = list.at<THostMessageRec>(i);
    const std::string code = m.kod ? m.kod->text : std::string();
    const auto level = static_cast<uint8_t>(m.uroven);
    writeText(rec->kod, code);
    rec->uroven = level;
    writeText(rec->text, m.Text);
    if (code == "0") {
      flags[0] = 1;
    } else {
      if (level <= 2) flags[1 + level] = 1;
      if (m.uroven == schema::ZpravaServeruTypeType::CHYBA && code == kCallFailed) flags[4] = 1;
    }
  }
  std::memcpy(block, flags, sizeof flags);
  return flags[0] == 1;
}

} // namespace vokr::plugin
