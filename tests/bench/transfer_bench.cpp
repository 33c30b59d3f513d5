// Time and memory of the large-payload paths, over real TLS on loopback:
//   vokr_transfer_bench download [MB]  a ZPMZ file fetched and saved through the exports
//   vokr_transfer_bench upload [MB]    a proposal attachment streamed from its file
// One path per process, so that the peak resident size is that path's own.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

#include "channel/channel.h"
#include "host_memory.h"
#include "large_answers.h"
#include "plugin/settings.h"
#include "proposals/byte_sources.h"
#include "schema/messages.h"
#include "service_test.h"
#include "vokr.h"

using namespace vokr;
namespace fs = std::filesystem;

namespace {

long peakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void connectTo(const test::HttpsServer& server) {
  TConnectInfo info{};
  std::snprintf(info.URL, sizeof info.URL, "%s", server.url().c_str());
  std::snprintf(info.UserName, sizeof info.UserName, "surveyor");
  std::snprintf(info.UserPassword, sizeof info.UserPassword, "heslo");
  info.ConnectTimeout = info.SendTimeout = info.ReceiveTimeout = 60000;
  SetConnectInfo(&info);
}

const char kProposalAnswer[] =
    "<?xml version='1.0' encoding='UTF-8'?><S:Envelope xmlns:S=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "<S:Body><ns0:ZalozNavrhZDPResponse xmlns:ns0=\"http://katastr.cuzk.cz/geows/types/v2.9\">"
    "<ns0:vysledek><zprava kod=\"0\" uroven=\"INFORMACE\">ok</zprava></ns0:vysledek>"
    "</ns0:ZalozNavrhZDPResponse></S:Body></S:Envelope>";

// Returns the bytes the service received.
uint64_t upload(const std::string& attachment) {
  uint64_t received = 0;
  test::HttpsServer server(test::ServerOptions{.bodySink = [&](const char*, size_t n) { received += n; }});
  server.trust();
  connectTo(server);
  server.enqueue(test::Answer::soap(kProposalAnswer));
  schema::ZalozNavrhZDPRequest request;
  request.XMLNavrhu.source = std::make_shared<proposals::StringSource>("<enx/>");
  auto item = std::make_unique<schema::PrilohaNavrhuType>();
  item->idPrilohy = schema::TXSDecimal{"1"};
  item->Text.source = std::make_shared<proposals::FileSource>(attachment);
  request.prilohaNavrhu.push_back(std::move(item));
  channel::call(plugin::channelSettings(), schema::Operation::zalozNavrhZDP, request);
  return received;
}

void download(uint64_t bytes, const std::string& target) {
  test::HttpsServer server;
  server.trust();
  connectTo(server);
  server.enqueue(test::noiseFileAnswer(test::readDataFile("vratSouborZPMZ/large.response.xml"), bytes, 7));
  TVratSouborZPMZIn in{};
  std::snprintf(in.katuzeKod, sizeof in.katuzeKod, "600001");
  std::snprintf(in.cisloVysledkuZemCinnosti, sizeof in.cisloVysledkuZemCinnosti, "1234");
  std::snprintf(in.zpmzDokumentId, sizeof in.zpmzDokumentId, "31");
  loadVratSouborZPMZ(&in);
  char path[1025];
  std::snprintf(path, sizeof path, "%s", target.c_str());
  saveSouborZPMZ(path);
  freeVratSouborZPMZ();
}

} // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  const uint64_t megabytes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 100;
  const uint64_t bytes = megabytes << 20;
  if (what != "upload" && what != "download") {
    std::fprintf(stderr, "usage: %s upload|download [MB]\n", argv[0]);
    return 2;
  }
  const fs::path dir = fs::temp_directory_path() / ("vokr-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string file = (dir / "payload.bin").string();
  if (what == "upload") {  // the attachment exists before the measurement starts
    std::ofstream out(file, std::ios::binary);
    std::string block(1 << 20, 'x');
    for (uint64_t i = 0; i < megabytes; ++i) out.write(block.data(), std::streamsize(block.size()));
  }
  const long before = peakKilobytes();
  const auto start = std::chrono::steady_clock::now();
  uint64_t sent = 0;
  if (what == "upload") sent = upload(file);
  else download(bytes, file);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const long after = peakKilobytes();
  const uint64_t onDisk = what == "download" && fs::exists(file) ? fs::file_size(file) : 0;
  fs::remove_all(dir);
  std::printf("%s %llu MB: %.2f s, %.0f MB/s, peak resident growth %.1f MB%s\n", what.c_str(),
              static_cast<unsigned long long>(megabytes), seconds, double(megabytes) / seconds,
              double(after - before) / 1024.0,
              what == "upload" ? (" (request body " + std::to_string(sent) + " bytes)").c_str()
                               : (" (saved " + std::to_string(onDisk) + " bytes)").c_str());
  return (what == "upload" ? sent > bytes : onDisk == bytes) ? 0 : 1;
}
