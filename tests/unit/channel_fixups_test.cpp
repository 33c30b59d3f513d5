// Request fix-ups and line ends: each case is a request as the writer produces it
// (<case>.written.xml) and the request as it must be sent (<case>.request.xml).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "channel/fixups.h"
#include "rope_text.h"
#include "test_data.h"
#include "schema/rope.h"

namespace {

using vokr::channel::applyFixups;
using vokr::channel::CrLfWriter;
using vokr::schema::Rope;
using vokr::test::readDataFile;
using vokr::test::ropeText;

std::string fixed(const std::string& operation, const std::string& text) {
  Rope rope;
  rope.append(text);
  applyFixups(operation, rope);
  return ropeText(rope);
}

struct FixupCase {
  const char* operation;
  const char* file;  // <file>.written.xml in, <file>.request.xml out
};

class RequestFixups : public ::testing::TestWithParam<FixupCase> {};

TEST_P(RequestFixups, TurnTheWrittenRequestIntoTheOneSent) {
  const FixupCase& c = GetParam();
  EXPECT_EQ(fixed(c.operation, readDataFile("channel/" + std::string(c.file) + ".written.xml")),
            readDataFile("channel/" + std::string(c.file) + ".request.xml"));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, RequestFixups,
    ::testing::Values(
        // GML prefix and declaration, polygon, exterior, ring, gml:id; an empty ring untouched.
        FixupCase{"exportVF", "exportVF_polygon"},
        // No id to qualify, a posList, and a text without a final line end.
        FixupCase{"exportVF", "exportVF_noId"},
        // Operation names are compared exactly.
        FixupCase{"ExportVF", "ExportVF_otherCase"},
        FixupCase{"zalozNavrhZDP", "zalozNavrhZDP"},
        // Byte-order mark kept, lone CR line ends.
        FixupCase{"zalozNavrhZPG", "zalozNavrhZPG"},
        // Empty-element items keep their form: the search texts end in '>'.
        FixupCase{"zalozRizeniPM", "zalozRizeniPM"},
        FixupCase{"zalozRizeniPM", "zalozRizeniPM_noParcels"},
        // Mixed CR LF and LF line ends.
        FixupCase{"vlozParcelu", "vlozParcelu"},
        FixupCase{"seznamRizeniPM", "seznamRizeniPM_otherTexts"}),
    [](const auto& info) { return std::string(info.param.file); });

class InMemory : public vokr::schema::ByteSource {
public:
  explicit InMemory(std::string bytes) : bytes_(std::move(bytes)) {}
  uint64_t size() const override { return bytes_.size(); }
  size_t read(uint64_t offset, void* buffer, size_t n) const override {
    size_t count = offset < bytes_.size() ? std::min<size_t>(n, bytes_.size() - offset) : 0;
    std::memcpy(buffer, bytes_.data() + offset, count);
    return count;
  }

private:
  std::string bytes_;
};

// Base64 text carries no search text and already ends its lines in CR LF: the segment stays
// the same source, while the texts around it are fixed up.
TEST(RequestFixups, LeaveBase64SegmentsAsTheyAre) {
  auto attachment = std::make_shared<InMemory>(std::string(200, '\xfb'));
  Rope rope;
  rope.append("<prilohaNavrhu NS2:idPrilohy=\"1\">\n<soubor>");
  rope.appendBase64(attachment);
  rope.append("</soubor></prilohaNavrhu>");
  Rope base64Only;
  base64Only.appendBase64(attachment);

  applyFixups("zalozNavrhZPG", rope);

  ASSERT_EQ(rope.segments().size(), 3u);
  EXPECT_EQ(rope.segments()[1].base64, attachment);
  EXPECT_EQ(ropeText(rope), "<prilohaNavrhu idPrilohy=\"1\">\r\n<soubor>" + ropeText(base64Only) +
                            "</soubor></prilohaNavrhu>\r\n");
}

struct LineEndCase {
  const char* name;
  std::string in, out;
};

class LineEnds : public ::testing::TestWithParam<LineEndCase> {};

// Answers arrive in chunks of any size: a line end or a byte-order mark split between two
// chunks is still one.
TEST_P(LineEnds, BecomeCrLfWhereverTheTextIsCut) {
  const LineEndCase& c = GetParam();
  for (size_t cut = 0; cut <= c.in.size(); ++cut) {
    CrLfWriter w;
    std::string out;
    w.feed(std::string_view(c.in).substr(0, cut), out);
    w.feed(std::string_view(c.in).substr(cut), out);
    w.finish(out);
    EXPECT_EQ(out, c.out) << "cut after " << cut << " bytes";
  }
  CrLfWriter whole;
  std::string text = c.in;
  whole.rewrite(text);
  whole.finish(text);
  EXPECT_EQ(text, c.out) << "rewritten in place";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineEnds,
    ::testing::Values(LineEndCase{"crlf", "a\r\nb\r\n", "a\r\nb\r\n"},
                      LineEndCase{"lf", "a\nb\n", "a\r\nb\r\n"},
                      LineEndCase{"cr", "a\rb\r", "a\r\nb\r\n"},
                      LineEndCase{"noFinal", "a\r\nb", "a\r\nb\r\n"},
                      LineEndCase{"lfThenCrAreTwo", "a\n\rb", "a\r\n\r\nb\r\n"},
                      LineEndCase{"emptyLines", "\r\r\n\n", "\r\n\r\n\r\n"},
                      LineEndCase{"empty", "", ""},
                      LineEndCase{"bom", "\xEF\xBB\xBF<a/>", "\xEF\xBB\xBF<a/>\r\n"},
                      LineEndCase{"bomOnly", "\xEF\xBB\xBF", "\xEF\xBB\xBF"},
                      LineEndCase{"bomThenLf", "\xEF\xBB\xBF\n<a/>", "\xEF\xBB\xBF\r\n<a/>\r\n"},
                      LineEndCase{"oneLine", "<a><b/></a>", "<a><b/></a>\r\n"},
                      LineEndCase{"crAtTheEnd", "<a/>\r\n<b/>\r", "<a/>\r\n<b/>\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
