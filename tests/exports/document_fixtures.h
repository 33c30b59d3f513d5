#pragma once
// What the report and ZPMZ file tests share: a Czech host (CP1250 code page, Central European
// time) set up before the plug-in loads, a scratch directory, and plain file helpers.
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "service_test.h"
#include "system.h"

namespace vokr::test {

// Sets the environment variables of a host process for the life of the object; tzset() makes
// the C library read the new zone at once.
class HostEnvironment {
public:
  HostEnvironment(const char* codePageLocale, const char* zone) {
    set("LC_ALL", codePageLocale);
    set("TZ", zone);
    tzset();
  }
  ~HostEnvironment() {
    for (auto& [name, value] : saved_) {
      if (value) vokr::test::setEnv(name, value->c_str());
      else vokr::test::unsetEnv(name);
    }
    tzset();
  }

private:
  void set(const char* name, const char* value) {
    const char* old = getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    vokr::test::setEnv(name, value);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Central European time, spelled out so that no zone database is needed.
inline constexpr const char* kCentralEuropeanTime = "CET-1CEST,M3.5.0,M10.5.0/3";

// The environment comes first: the plug-in reads the code page when it is loaded.
class CzechHost : private HostEnvironment, public ServiceTest {
protected:
  CzechHost() : HostEnvironment("cs_CZ.CP1250", kCentralEuropeanTime) {}
};

// A fresh temporary directory, removed with everything in it.
class ScratchDirectory {
public:
  ScratchDirectory() : path_(vokr::test::makeTempDirectory("vokr-files")) {}
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + vokr::test::kPathDelimiter + name; }
  // The names in the directory, hidden ones included.
  std::set<std::string> names() const {
    std::set<std::string> n;
    for (const auto& e : std::filesystem::directory_iterator(path_)) n.insert(e.path().filename().string());
    return n;
  }

private:
  std::string path_;
};

inline void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

inline bool exists(const std::string& path) { return std::filesystem::exists(path); }

// A path in a host text field of 1025 bytes.
inline char* hostPath(HostArena& arena, const std::string& path) {
  Record field = newRecord(arena, 1025);
  field.text(0, 1025, path);
  return reinterpret_cast<char*>(field.data());
}

} // namespace vokr::test
