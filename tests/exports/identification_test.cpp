#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "plugin.h"

using namespace vokr::test;

namespace {

std::string shortText(const uint8_t* t) { return std::string(reinterpret_cast<const char*>(t + 1), t[0]); }

struct ShortTextCase {
  const char* exportName;
  int32_t capacity;
  std::string expected;
};

class IdentificationText : public ::testing::TestWithParam<ShortTextCase> {};

TEST_P(IdentificationText, WritesLengthPrefixedTextCutToCapacity) {
  Plugin plugin;
  const auto& c = GetParam();
  uint8_t buffer[300];
  std::memset(buffer, 0xCC, sizeof buffer);
  plugin.fn<ShortTextFn>(c.exportName)(buffer, c.capacity);
  EXPECT_EQ(shortText(buffer), c.expected);
  EXPECT_EQ(buffer[1 + c.expected.size()], 0xCC) << "nothing written after the text";
}

INSTANTIATE_TEST_SUITE_P(
    Exports, IdentificationText,
    ::testing::Values(ShortTextCase{"GetPelkPluginInfo", 255, "VOKR version : 2.9"},
                      ShortTextCase{"GetPelkPluginInfo", 4, "VOKR"},
                      ShortTextCase{"GetPelkPluginInfo", 0, ""},
                      ShortTextCase{"GetPelkPluginName", 255, "libvokr.so"},
                      ShortTextCase{"GetPelkPluginName", 6, "libvok"},
                      ShortTextCase{"GetPelkPluginVersion", 255, "2.9.0.1"},
                      ShortTextCase{"GetPelkPluginVersion", 3, "2.9"}));

TEST(Identification, VOKRVersionIsTerminatedText) {
  Plugin plugin;
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  plugin.fn<OpenArrayFn>("GetVOKRVersion")(buffer, 0);  // the highest index is not consulted
  EXPECT_STREQ(buffer, "2.9");
  EXPECT_EQ(buffer[4], 'x');
}

TEST(Identification, LibraryWithoutVersionNoteHasEmptyVersion) {
  std::string dir = ::testing::TempDir() + "vokr-nonote-XXXXXX";
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  std::string copy = dir + "/libvokr-copy.so";
  std::string cmd = "objcopy --remove-section .note.vokr.version '" + std::string(VOKR_LIBRARY_PATH) +
                    "' '" + copy + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  {
    Plugin plugin(copy);
    uint8_t buffer[64];
    std::memset(buffer, 0xCC, sizeof buffer);
    plugin.fn<ShortTextFn>("GetPelkPluginVersion")(buffer, 255);
    EXPECT_EQ(buffer[0], 0);
    uint8_t name[64];
    plugin.fn<ShortTextFn>("GetPelkPluginName")(name, 255);
    EXPECT_EQ(shortText(name), "libvokr-copy.so");
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}

} // namespace
