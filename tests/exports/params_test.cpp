#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

#include "host_memory.h"
#include "host_records.h"
#include "plugin.h"
#include "system.h"

using namespace vokr::test;
namespace fs = std::filesystem;

namespace {

constexpr size_t kTmpPath = params::tmpPath.offset, kLogPath = params::logPath.offset,
                 kPathWidth = params::tmpPath.width, kLogLevel = params::logLevel,
                 kLogUseTimestamp = params::logUseTimestamp, kParamsSize = params::kSize;

class WorkingParams : public ::testing::Test {
protected:
  void SetUp() override {
    root = fs::path(::testing::TempDir()) / ("vokr-params-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "tmpdir");
    fs::create_directories(root / "cwd" / "logs");
    fs::create_directories(root / "abs");
    vokr::test::setEnv("tmp", (root / "tmpdir").string());
    vokr::test::setEnv("VOKR_TEST_DIR", (root / "abs").string());
    vokr::test::unsetEnv("VOKR_TEST_UNSET");
    savedCwd = fs::current_path();
    fs::current_path(root / "cwd");
    plugin = std::make_unique<Plugin>();
  }
  void TearDown() override {
    plugin.reset();
    fs::current_path(savedCwd);
    fs::remove_all(root);
  }
  void set(const std::string& tmp, const std::string& log, int32_t level = 0, uint8_t ts = 1) {
    Record r = newRecord(arena, kParamsSize);
    r.text(kTmpPath, kPathWidth, tmp).text(kLogPath, kPathWidth, log);
    r.i32(kLogLevel, level).u8(kLogUseTimestamp, ts);
    plugin->fn<RecordFn>("SetVOKRParams")(r.data());
  }
  Record get() {
    Record r = newRecord(arena, kParamsSize, 0xCC);
    plugin->fn<RecordFn>("GetVOKRParams")(r.data());
    return r;
  }
  std::string dir(const fs::path& p) { return p.string() + kPathDelimiter; }

  fs::path root, savedCwd;
  HostArena arena;
  std::unique_ptr<Plugin> plugin;
};

TEST_F(WorkingParams, AfterLoadBothPathsAreTheLibraryDirectory) {
  Record r = get();
  std::string libraryDir = fs::path(VOKR_LIBRARY_PATH).parent_path().make_preferred().string() + kPathDelimiter;
  EXPECT_EQ(r.textAt(kTmpPath, kPathWidth), libraryDir);
  EXPECT_EQ(r.textAt(kLogPath, kPathWidth), libraryDir);
  EXPECT_EQ(r.i32At(kLogLevel), 0);
  EXPECT_EQ(r.u8At(kLogUseTimestamp), 1);
  EXPECT_TRUE(guardIntact(r));
}

struct PathCase {
  const char* name;
  const char* given;     // with {root} standing for the test's directory, '/' for the delimiter
  const char* expected;  // likewise
};

class PathResolution : public WorkingParams, public ::testing::WithParamInterface<PathCase> {};

std::string expand(std::string s, const std::string& root) {
  for (char& c : s)
    if (c == '/') c = kPathDelimiter;
  for (size_t at; (at = s.find("{root}")) != std::string::npos;) s.replace(at, 6, root);
  return s;
}

TEST_P(PathResolution, StoresTheResolvedDirectoryWithADelimiter) {
  const PathCase& c = GetParam();
  set(expand(c.given, root.string()), expand(c.given, root.string()));
  Record r = get();
  EXPECT_EQ(r.textAt(kTmpPath, kPathWidth), expand(c.expected, root.string()));
  EXPECT_EQ(r.textAt(kLogPath, kPathWidth), expand(c.expected, root.string()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathResolution,
    ::testing::Values(
        PathCase{"VariableSet", "%VOKR_TEST_DIR%", "{root}/abs/"},
        PathCase{"VariableUnset", "%VOKR_TEST_UNSET%", "{root}/tmpdir/"},
        // Only a whole reference resolves: this looks up "VOKR_TEST_DIR%/log".
        PathCase{"VariableWithSuffix", "%VOKR_TEST_DIR%/logs", "{root}/tmpdir/"},
        PathCase{"Relative", "logs", "{root}/cwd/logs/"},
        PathCase{"RelativeWithDots", "./logs/../logs", "{root}/cwd/logs/"},
        PathCase{"RelativeMissing", "nothing-here", "{root}/tmpdir/"},
        PathCase{"AbsoluteWithoutDelimiter", "{root}/abs", "{root}/abs/"},
        PathCase{"AbsoluteWithDelimiter", "{root}/abs/", "{root}/abs/"},
        PathCase{"AbsoluteMissing", "{root}/gone", "{root}/tmpdir/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkingParams, EmptyTextKeepsTheStoredPath) {
  set(dir(root / "abs"), dir(root / "abs"));
  set("", dir(root / "cwd" / "logs"));
  Record r = get();
  EXPECT_EQ(r.textAt(kTmpPath, kPathWidth), dir(root / "abs"));
  EXPECT_EQ(r.textAt(kLogPath, kPathWidth), dir(root / "cwd" / "logs"));
}

TEST_F(WorkingParams, LevelAndTimestampByteStoredUnchanged) {
  set("", "", -5, 7);
  Record r = get();
  EXPECT_EQ(r.i32At(kLogLevel), -5);
  EXPECT_EQ(r.u8At(kLogUseTimestamp), 7);
}

TEST_F(WorkingParams, TemporaryDirectoryFallsBackWhenTmpIsUnset) {
  vokr::test::unsetEnv("tmp");
  vokr::test::setEnv("TMP", (root / "abs").string());
  set(dir(root / "gone"), "");
  EXPECT_EQ(get().textAt(kTmpPath, kPathWidth), dir(root / "abs"));
  vokr::test::unsetEnv("TMP");
  vokr::test::unsetEnv("TMPDIR");
  set(dir(root / "gone"), "");
  // The system's own: /tmp, or on Windows the one of TEMP (the names of variables there
  // ignore case, so "tmp" is TMP).
  const char* temp = kPathDelimiter == '/' ? nullptr : std::getenv("TEMP");
  EXPECT_EQ(get().textAt(kTmpPath, kPathWidth), temp ? dir(temp) : "/tmp/");
}

TEST_F(WorkingParams, PathWithoutZeroByteIsReadWithinItsField) {
  Record r = newRecord(arena, kParamsSize);
  r.fill(kTmpPath, kPathWidth, 'a');  // 1025 characters, no terminator: a relative name
  r.text(kLogPath, kPathWidth, dir(root / "abs"));
  plugin->fn<RecordFn>("SetVOKRParams")(r.data());
  Record out = get();
  EXPECT_EQ(out.textAt(kTmpPath, kPathWidth), dir(root / "tmpdir"));  // no such directory
  EXPECT_EQ(out.textAt(kLogPath, kPathWidth), dir(root / "abs"));
}

} // namespace
