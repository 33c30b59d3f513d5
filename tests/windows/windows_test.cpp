// What only the Windows DLL does: the ANSI code page of the process, Windows paths (drive
// letters, backslashes, %VAR%) and the version resource of the file. Run under wine with
// LC_ALL=cs_CZ.UTF-8, which wine turns into the Czech ANSI code page 1250.
#include <windows.h>

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "family_calls.h"
#include "host_memory.h"
#include "plugin.h"
#include "system.h"

using namespace vokr::test;
namespace fs = std::filesystem;

namespace {

// ---- the code page -----------------------------------------------------------------------

class CzechWindowsHost : public FamilyTest {};

// TMylneRizeniPMIn (92 bytes): idRizeniPM 0/31, popis 31/61. The description in Windows-1250
// bytes (Ř D8, í ED, ž 9E) reaches the wire as UTF-8, the same request a UTF-8 host sends.
TEST_F(CzechWindowsHost, Cp1250HostTextIsSentAsUtf8) {
  ASSERT_EQ(GetACP(), 1250u) << "the tests run with LC_ALL=cs_CZ.UTF-8";
  Record in = newRecord(arena, 92);
  in.text(0, 31, "4711001").text(31, 61, "\xd8\xedzen\xed zalo\x9e" "eno omylem");
  answerWith("mylneRizeniPM/done.response.xml");
  EXPECT_EQ(load("MylneRizeniPM", &in), "unset");
  expectRequest("mylneRizeniPM/realistic.request.xml");
}

TEST_F(CzechWindowsHost, ServerTextReachesTheHostInCp1250) {
  answerWith("mylneRizeniPM/done.response.xml");
  Record in = newRecord(arena, 92);
  in.text(0, 31, "4711001");
  ASSERT_EQ(load("MylneRizeniPM", &in), "unset");
  Record out = newRecord(arena, 9);
  HostMessages m = HostMessages::attach(arena, out, 0, 1);
  get("MylneRizeniPM", out);
  // "Požadovaná akce byla úspěšně provedena." in Windows-1250.
  EXPECT_EQ(m.text(0), "Po\x9e" "adovan\xe1 akce byla \xfasp\xec\x9an\xec provedena.");
}

// ---- paths -------------------------------------------------------------------------------

// The working parameters record, 2055 bytes: TmpPath 0/1025, LogPath 1025/1025.
constexpr size_t kTmpPath = 0, kLogPath = 1025, kPathWidth = 1025, kParamsSize = 2055;

class WindowsPaths : public ::testing::Test {
protected:
  void SetUp() override {
    root = makeTempDirectory("vokr-paths");
    fs::create_directories(fs::path(root) / "cwd" / "logs");
    fs::create_directories(fs::path(root) / "abs");
    setEnv("tmp", root + "\\cwd");
    setEnv("VOKR_TEST_DIR", root + "\\abs");
    savedCwd = fs::current_path();
    fs::current_path(fs::path(root) / "cwd");
    plugin = std::make_unique<Plugin>();
  }
  void TearDown() override {
    plugin.reset();
    fs::current_path(savedCwd);
    removeTree(root);
  }
  // SetVOKRParams with `path` for both paths, then what GetVOKRParams gives for TmpPath.
  std::string resolved(const std::string& path) {
    Record in = newRecord(arena, kParamsSize);
    in.text(kTmpPath, kPathWidth, path).text(kLogPath, kPathWidth, path);
    plugin->fn<RecordFn>("SetVOKRParams")(in.data());
    Record out = newRecord(arena, kParamsSize, 0xCC);
    plugin->fn<RecordFn>("GetVOKRParams")(out.data());
    EXPECT_EQ(out.textAt(kLogPath, kPathWidth), out.textAt(kTmpPath, kPathWidth));
    return out.textAt(kTmpPath, kPathWidth);
  }

  std::string root;
  fs::path savedCwd;
  HostArena arena;
  std::unique_ptr<Plugin> plugin;
};

TEST_F(WindowsPaths, DriveLetterPathGetsABackslash) {
  ASSERT_EQ(root[1], ':') << root;
  EXPECT_EQ(resolved(root + "\\abs"), root + "\\abs\\");
  EXPECT_EQ(resolved(root + "\\abs\\"), root + "\\abs\\");
}

TEST_F(WindowsPaths, RelativePathIsTakenAgainstTheCurrentDirectory) {
  EXPECT_EQ(resolved("logs"), root + "\\cwd\\logs\\");
  EXPECT_EQ(resolved(".\\logs\\..\\logs"), root + "\\cwd\\logs\\");
}

// A path that begins with a backslash is not relative: unchanged, and on the current drive
// (here the one of the temporary directory) it names no directory, so "tmp" stands instead.
TEST_F(WindowsPaths, PathFromTheDriveRootIsNotRelative) {
  EXPECT_EQ(resolved("\\no-such-directory-of-vokr"), root + "\\cwd\\");
}

TEST_F(WindowsPaths, WholeVariableReferenceIsItsValue) {
  EXPECT_EQ(resolved("%VOKR_TEST_DIR%"), root + "\\abs\\");
  // Windows names its variables without regard to case.
  EXPECT_EQ(resolved("%vokr_test_dir%"), root + "\\abs\\");
  // Only a whole reference resolves: this looks up "VOKR_TEST_DIR%\log".
  EXPECT_EQ(resolved("%VOKR_TEST_DIR%\\logs"), root + "\\cwd\\");
}

// ---- the version resource ----------------------------------------------------------------

std::string shortText(const uint8_t* t) { return std::string(reinterpret_cast<const char*>(t + 1), t[0]); }

std::string identification(const Plugin& plugin, const char* name) {
  uint8_t text[256] = {};
  plugin.fn<ShortTextFn>(name)(text, 255);
  return shortText(text);
}

TEST(WindowsVersionResource, NameAndVersionComeFromTheDllFile) {
  Plugin plugin;
  EXPECT_EQ(identification(plugin, "GetPelkPluginName"), "vokr.dll");
  EXPECT_EQ(identification(plugin, "GetPelkPluginVersion"), "2.9.0.1");
}

// A copy without the resource section (objcopy, at build time) has no version.
TEST(WindowsVersionResource, CopyWithoutTheResourceHasNoVersion) {
  Plugin plugin(VOKR_NO_VERSION_LIBRARY_PATH);
  EXPECT_EQ(identification(plugin, "GetPelkPluginVersion"), "");
  EXPECT_EQ(identification(plugin, "GetPelkPluginName"), "vokr-noversion.dll");
}

} // namespace
