#include "service_test.h"

#include <cctype>
#include <utility>

#include "host_records.h"

namespace vokr::test {

std::string operationOf(const std::string& family) {
  // Families named otherwise than their operation; the others differ only in the first letter.
  static const std::pair<const char*, const char*> kRenamed[] = {
      {"VlozParceluPM", "vlozParcelu"},     {"GenerujSestavyPM", "generujLVProParcelyPM"},
      {"SeznamSestavLV", "seznamSestav"},   {"SmazSestavuLV", "smazSestavu"},
      {"VratSestavuLV", "vratSestavu"},
  };
  for (auto [name, operation] : kRenamed)
    if (family == name) return operation;
  std::string operation = family;
  if (!operation.empty()) operation[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(operation[0])));
  return operation;
}

HostMessages HostMessages::attach(HostArena& arena, Record& record, size_t at, int entries) {
  HostMessages m;
  if (entries >= 0) {
    m.list = HostList(arena, entries, kRecordSize, 0xEE);
    record.ptr(at + kListPtr, m.list.address());
  } else {
    record.ptr(at + kListPtr, 0);
  }
  return m;
}

std::string messageFlags(const Record& record, size_t at) {
  std::string f;
  for (size_t i = 0; i < 5; ++i) f += char('0' + record.u8At(at + i));
  return f;
}

ServiceTest::ServiceTest() {
  server.trust();
  plugin = std::make_unique<Plugin>();
}

void ServiceTest::SetUp() { connect(server.url(), "surveyor", "heslo"); }

void ServiceTest::connect(const std::string& url, const std::string& user, const std::string& password) {
  Record info = newRecord(arena, connectInfo::kSize);
  set(info, connectInfo::url, url);
  set(info, connectInfo::userName, user);
  set(info, connectInfo::userPassword, password);
  info.i32(connectInfo::connectTimeout, 5000)
      .i32(connectInfo::sendTimeout, 10000)
      .i32(connectInfo::receiveTimeout, 10000);
  plugin->fn<RecordFn>("SetConnectInfo")(info.data());
}

void ServiceTest::answerWith(const std::string& relative) {
  server.enqueue(Answer::soap(readDataFile(relative)));
}

std::string ServiceTest::requestBody(size_t i) {
  auto requests = server.requests();
  if (i >= requests.size()) return "<no request " + std::to_string(i) + ">";
  return requests[i].body;
}

void ServiceTest::expectRequest(const std::string& relative, size_t i) {
  EXPECT_EQ(requestBody(i), withCrLf(readDataFile(relative))) << "request " << i << " vs " << relative;
}

} // namespace vokr::test
