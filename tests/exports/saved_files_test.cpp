// Saving a held report or ZPMZ file where the host says: replaced whole or not at all, never
// while another program has the file, never anywhere but the given path.
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "document_fixtures.h"
#include "other_process.h"
#include "system.h"

using namespace vokr::test;

namespace {

using IdFn = void HOST_STDCALL(int64_t id);
using IdPathFn = void HOST_STDCALL(int64_t id, char* path);
using PathFn = void HOST_STDCALL(char* path);

class SavedFiles : public ServiceTest {
public:
  // TVratSouborZPMZIn (71): katuzeKod 7 at 0, cisloVysledkuZemCinnosti 33 at 7,
  // zpmzDokumentId 31 at 40.
  void fetchZpmz(const std::string& response) {
    answerWith(response);
    Record in = newRecord(arena, 71);
    in.text(0, 7, "600001").text(7, 33, "1234").text(40, 31, "11");
    plugin->fn<PlainLoadFn>("loadVratSouborZPMZ")(in.data());
  }
  void saveZpmz(const std::string& path) { plugin->fn<PathFn>("saveSouborZPMZ")(hostPath(arena, path)); }
  void fetchReport(const std::string& response) {
    answerWith(response);
    plugin->fn<IdFn>("loadVratSestavuLV")(42);
  }
  void saveReport(const std::string& path) { plugin->fn<IdPathFn>("saveSestavuLV")(42, hostPath(arena, path)); }

protected:
  ScratchDirectory dir;
};

// The two ways to a saved file, each with the content its answer carries.
struct SavePath {
  const char* name;
  std::function<void(SavedFiles&)> fetch;
  std::function<void(SavedFiles&, const std::string&)> save;
  std::string content;
};
void PrintTo(const SavePath& p, std::ostream* os) { *os << p.name; }

const SavePath kPaths[] = {
    {"ZpmzFile", [](SavedFiles& t) { t.fetchZpmz("vratSouborZPMZ/document_11.response.xml"); },
     [](SavedFiles& t, const std::string& p) { t.saveZpmz(p); }, "%PDF-1.4\n% ZPMZ 1234, dokument 11\n%%EOF\n"},
    {"Report", [](SavedFiles& t) { t.fetchReport("reports/dated.response.xml"); },
     [](SavedFiles& t, const std::string& p) { t.saveReport(p); },
     "%PDF-1.4\n% LV 1234, k.u. Zdar\n1 0 obj << /Type /Catalog >> endobj\n%%EOF\n"},
};

class Saving : public SavedFiles, public ::testing::WithParamInterface<SavePath> {
protected:
  void fetch() { GetParam().fetch(*this); }
  void save(const std::string& path) { GetParam().save(*this, path); }
  const std::string& content() const { return GetParam().content; }
};

TEST_P(Saving, CreatesTheFileWithTheContentUnchanged) {
  fetch();
  save(dir / "saved.pdf");
  EXPECT_EQ(readFile(dir / "saved.pdf"), content());
  EXPECT_EQ(dir.names(), std::set<std::string>{"saved.pdf"}) << "nothing else is left in the directory";
}

TEST_P(Saving, ReplacesAnUnlockedFileWholeAndKeepsItsPermissions) {
  const std::string target = dir / "saved.pdf";
  writeFile(target, std::string(4096, 'x'));
  chmod(target.c_str(), 0640);
  fetch();
  save(target);
  EXPECT_EQ(readFile(target), content());
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.names(), std::set<std::string>{"saved.pdf"});
}

TEST_P(Saving, CanBeRepeatedUntilTheResponseIsReleased) {
  fetch();
  save(dir / "first.pdf");
  save(dir / "second.pdf");
  EXPECT_EQ(readFile(dir / "first.pdf"), content());
  EXPECT_EQ(readFile(dir / "second.pdf"), content());
}

TEST_P(Saving, LeavesAFileHeldByAnotherProgramUnchanged) {
  const std::string target = dir / "saved.pdf";
  for (auto lock : {FileHolder::Lock::flock, FileHolder::Lock::fcntl}) {
    writeFile(target, "held by another program");
    FileHolder holder(target, lock);
    fetch();
    save(target);
    EXPECT_EQ(readFile(target), "held by another program") << (lock == FileHolder::Lock::flock ? "flock" : "fcntl");
    EXPECT_EQ(dir.names(), std::set<std::string>{"saved.pdf"});
  }
}

TEST_P(Saving, CreatesNoDirectory) {
  fetch();
  save(dir / "missing/saved.pdf");
  EXPECT_FALSE(exists(dir / "missing"));
  EXPECT_TRUE(dir.names().empty());
}

TEST_P(Saving, PathThroughAFileWritesNothing) {
  writeFile(dir / "plain", "a file, not a directory");
  fetch();
  save(dir / "plain/saved.pdf");
  EXPECT_EQ(readFile(dir / "plain"), "a file, not a directory");
  EXPECT_EQ(dir.names(), std::set<std::string>{"plain"});
}

// The host's own record lock on the target: the save counts the file as in use, and the lock
// is still there afterwards (a descriptor of the target closed by the library would drop it).
TEST_P(Saving, LeavesTheHostsOwnLockInPlace) {
  const std::string target = dir / "saved.pdf";
  writeFile(target, "locked by the host");
  const int fd = lockInThisProcess(target);
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(recordLockHeldBy(getpid(), target));
  fetch();
  save(target);
  EXPECT_TRUE(recordLockHeldBy(getpid(), target)) << "the host's lock is gone";
  close(fd);  // reading the file below would drop the lock too
  EXPECT_EQ(readFile(target), "locked by the host");
  EXPECT_EQ(dir.names(), std::set<std::string>{"saved.pdf"});
}

// A save larger than the file-size limit: the host is not ended by SIGXFSZ (the child keeps
// the signal's default action), the earlier file stays and no temporary file is left.
TEST_P(Saving, FileBeyondTheSizeLimitFailsCleanly) {
  const std::string target = dir / "saved.pdf";
  writeFile(target, "earlier");
  fetch();
  auto saveWithLimit = [&](rlim_t bytes) {
    return runInChild([&] {
      struct rlimit limit{bytes, bytes};
      setrlimit(RLIMIT_FSIZE, &limit);
      save(target);
    });
  };
  EXPECT_EQ(saveWithLimit(16), 0) << "the save returned normally";
  EXPECT_EQ(readFile(target), "earlier");
  EXPECT_EQ(dir.names(), std::set<std::string>{"saved.pdf"});
  // The same save from a child with room to write does replace the file.
  EXPECT_EQ(saveWithLimit(1 << 20), 0);
  EXPECT_EQ(readFile(target), content());
}

TEST_P(Saving, RelativePathIsTakenFromTheCurrentDirectory) {
  const std::string previous = std::filesystem::current_path();
  fetch();
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  save("relative.pdf");
  ASSERT_EQ(chdir(previous.c_str()), 0);
  EXPECT_EQ(readFile(dir / "relative.pdf"), content());
}

INSTANTIATE_TEST_SUITE_P(Paths, Saving, ::testing::ValuesIn(kPaths),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SavedFiles, EmptyZpmzContentGivesAnEmptyFile) {
  const std::string target = dir / "zpmz.txt";
  writeFile(target, "earlier");
  fetchZpmz("vratSouborZPMZ/empty_content.response.xml");
  saveZpmz(target);
  EXPECT_TRUE(exists(target));
  EXPECT_EQ(readFile(target), "");
}

// A report without file content has nothing to save: an earlier file stays as it is.
class ReportWithoutContent : public SavedFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReportWithoutContent, WritesNothing) {
  const std::string target = dir / "report.pdf";
  writeFile(target, "earlier");
  fetchReport(GetParam());
  saveReport(target);
  EXPECT_EQ(readFile(target), "earlier");
}

INSTANTIATE_TEST_SUITE_P(Answers, ReportWithoutContent,
                         ::testing::Values("reports/empty_file.response.xml", "reports/sparse.response.xml",
                                           "reports/no_reports.response.xml"));

TEST_F(SavedFiles, NothingHeldNothingSaved) {
  saveZpmz(dir / "before.bin");
  saveReport(dir / "before.pdf");
  fetchZpmz("vratSouborZPMZ/document_11.response.xml");
  plugin->fn<NoArgFn>("freeVratSouborZPMZ")();
  saveZpmz(dir / "freed.bin");
  fetchZpmz("vratSouborZPMZ/fault.response.xml");
  saveZpmz(dir / "failed.bin");
  EXPECT_TRUE(dir.names().empty());
}

} // namespace

namespace {

// A Czech host names its files in its own code page: the file appears under those very bytes,
// not under a re-encoded name the host would never find.
TEST_F(SavedFiles, FileNameStaysInTheHostCodePage) {
  plugin.reset();
  vokr::test::setEnv("LC_ALL", "cs_CZ.CP1250");
  plugin = std::make_unique<Plugin>();
  connect(server.url(), "surveyor", "heslo");
  fetchZpmz("vratSouborZPMZ/document_11.response.xml");
  const std::string name = "n\xe1\xe8rt.pdf";  // "náčrt.pdf" in Windows-1250
  saveZpmz(dir / name);
  vokr::test::setEnv("LC_ALL", "C.UTF-8");
  EXPECT_EQ(dir.names(), std::set<std::string>{name});
}

} // namespace
