#pragma once
// The fixture of export tests that talk to a service: the plug-in loaded as a host loads it,
// connected to a loopback HTTPS server whose certificate it trusts, with helpers to script
// answers from data files, compare whole requests and read the host message block.
#include <gtest/gtest.h>
#include <string>

#include "host_memory.h"
#include "https_server.h"
#include "plugin.h"
#include "test_data.h"

namespace vokr::test {

// The folder under tests/data of a family's cases: the method name of its operation in the
// port type, e.g. "VlozParceluPM" -> "vlozParcelu".
std::string operationOf(const std::string& family);

// The host message block (9 bytes) of a get output record and its list of 4013-byte records.
struct HostMessages {
  static constexpr size_t kBlockSize = 9, kListPtr = 5, kRecordSize = 4013;
  HostList list;

  // Points the block at offset `at` of `record` to a new list of `entries` records (-1: null).
  static HostMessages attach(HostArena& arena, Record& record, size_t at, int entries);
  std::string kod(size_t i) const { return list[i].textAt(0, 11); }
  uint8_t uroven(size_t i) const { return list[i].u8At(11); }
  std::string text(size_t i) const { return list[i].textAt(12, 4001); }
};
// The five flags at offset `at` as "01001".
std::string messageFlags(const Record& record, size_t at = 0);

class ServiceTest : public ::testing::Test {
protected:
  ServiceTest();
  void SetUp() override;

  // Connection settings through SetConnectInfo, from the record's offsets.
  void connect(const std::string& url, const std::string& user, const std::string& password);
  // Scripts the next answer: a SOAP body from tests/data/<relative>, status 200.
  void answerWith(const std::string& relative);
  // The body of request i as the server received it.
  std::string requestBody(size_t i = 0);
  // Compares request i with tests/data/<relative> (LF there, CR LF on the wire).
  void expectRequest(const std::string& relative, size_t i = 0);

  HttpsServer server;
  HostArena arena;
  std::unique_ptr<Plugin> plugin;
};

// Ready-made counts records and result texts.
inline char* resultBuffer(HostArena& arena) {
  char* r = reinterpret_cast<char*>(arena.alloc(16));
  std::memcpy(r, "unset", 6);
  return r;
}

} // namespace vokr::test
