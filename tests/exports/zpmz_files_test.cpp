// ZPMZ files through the exports: finding the documents of a surveying result, fetching one,
// and downloading several into a directory.
#include <memory>
#if !defined(_WIN32)
#include <sys/resource.h>
#include <unistd.h>
#endif
#include <openssl/evp.h>

#include "document_fixtures.h"
#include "large_answers.h"
#include "host_records.h"
#include "open_files.h"
#include "other_process.h"
#include "system.h"

using namespace vokr::test;

namespace {

// TNajdiSouborZPMZIn (40): katuzeKod 7 at 0, cisloVysledkuZemCinnosti 33 at 7.
// TSouborZPMZRec (320): zpmzDokumentId 31 at 0, nazevSouboru 256 at 31, velikostSouboru 33
// at 287. TNajdiSouborZPMZOut: block at 0, list at 9; its counts: messages, then files.
// TVratSouborZPMZIn (71): as TNajdiSouborZPMZIn, then zpmzDokumentId 31 at 40.
// TVratSouborZPMZOut (329): block at 0, zpmzDokumentId 31 at 9, nazevSouboru 256 at 40,
// velikostSouboru 33 at 296. TDwnldFilesZPMZIn (300): katuzeKod, cisloVysledkuZemCinnosti as
// above, TargetDir 256 at 40, DocumentIds list at 296.
constexpr size_t kFindInSize = 40, kFileRecSize = 320, kFetchInSize = 71, kFetchOutSize = 329,
                 kDownloadInSize = 300;

using DownloadFn = void HOST_STDCALL(void* in, uint32_t* results, int32_t count);

const std::string kDocument11 = "%PDF-1.4\n% ZPMZ 1234, dokument 11\n%%EOF\n";
std::string everyByte() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += char(i);
  return s;
}

class ZpmzFiles : public ServiceTest {
protected:
  void find(const std::string& area, const std::string& number) {
    Record in = newRecord(arena, kFindInSize);
    in.text(0, 7, area).text(7, 33, number);
    plugin->fn<PlainLoadFn>("loadNajdiSouborZPMZ")(in.data());
  }
  std::pair<int32_t, int32_t> findCounts() {
    Record c = newRecord(arena, 8, 0xCC);
    plugin->fn<PlainGetFn>("getNajdiSouborZPMZ_ListSizes")(c.data());
    return {c.i32At(0), c.i32At(4)};
  }
  void fetch(const std::string& document) {
    Record in = newRecord(arena, kFetchInSize);
    in.text(0, 7, "600001").text(7, 33, "1234").text(40, 31, document);
    plugin->fn<PlainLoadFn>("loadVratSouborZPMZ")(in.data());
  }
  // The fetch family's message count, or the 0xCC bytes when nothing is held.
  int32_t fetchCount() {
    Record c = newRecord(arena, 4, 0xCC);
    plugin->fn<RegisterCountsFn>("getVratSouborZPMZ_ListSizes")(c.data());
    EXPECT_TRUE(guardIntact(c));
    return c.i32At(0);
  }

  // Download results: `n` entries, each with one message record and a name that is not the
  // service's, so that untouched entries show.
  HostList downloadEntries(int32_t n) {
    HostList entries(arena, n, kFetchOutSize, 0xCC);
    for (int32_t i = 0; i < n; ++i) {
      Record e = entries[size_t(i)];
      entryMessages_.push_back(HostMessages::attach(arena, e, 0, 1));
      e.text(40, 256, "keep");
    }
    return entries;
  }
  const HostMessages& messagesOf(size_t entry) const { return entryMessages_.at(entry); }
  void download(const std::string& targetDir, const std::vector<std::string>& documents,
                const HostList& entries, int32_t count) {
    Record in = newRecord(arena, kDownloadInSize);
    in.text(0, 7, "600001").text(7, 33, "1234").text(40, 256, targetDir);
    HostList ids(arena, static_cast<int32_t>(documents.size()), 31);
    for (size_t i = 0; i < documents.size(); ++i) ids[i].text(0, 31, documents[i]);
    in.ptr(296, ids.address());
    Record results = newRecord(arena, 4);
    results.ptr(0, entries.address());
    plugin->fn<DownloadFn>("dwnldFilesZPMZ")(in.data(), reinterpret_cast<uint32_t*>(results.data()), count);
  }

private:
  std::vector<HostMessages> entryMessages_;
};

// ---- the result number: integer text, sent as its low 32 bits ----

struct NumberCase {
  const char* name;
  const char* text;
  const char* expected;
};

class ResultNumber : public ZpmzFiles, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(ResultNumber, IsSentAsA32BitInteger) {
  answerWith("najdiSouborZPMZ/no_files.response.xml");
  find("600001", GetParam().text);
  expectRequest(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResultNumber,
    ::testing::Values(NumberCase{"Plain", "1234", "najdiSouborZPMZ/request.request.xml"},
                      NumberCase{"Above32Bits", "4294968530", "najdiSouborZPMZ/request.request.xml"},
                      NumberCase{"Negative", "-1", "najdiSouborZPMZ/minus_one.request.xml"},
                      NumberCase{"AllLow32BitsSet", "4294967295", "najdiSouborZPMZ/minus_one.request.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

class NotAResultNumber : public ZpmzFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(NotAResultNumber, IsRefusedBeforeAnythingIsSent) {
  const std::string text = GetParam();
  find("600001", text);
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(findCounts(), std::make_pair(1, -1));
  Record out = newRecord(arena, 13, 0xCC);
  HostMessages m = HostMessages::attach(arena, out, 0, 1);
  plugin->fn<PlainGetFn>("getNajdiSouborZPMZ")(out.data());
  EXPECT_EQ(messageFlags(out), "00010") << "an error before the call is no failed call";
  EXPECT_EQ(m.kod(0), "1001");
  EXPECT_EQ(m.uroven(0), 2);
  EXPECT_EQ(m.text(0), "EConvertError; '" + text + "' is not a valid integer value");
}

INSTANTIATE_TEST_SUITE_P(Cases, NotAResultNumber,
                         ::testing::Values("", "12a", " 12", "1.5", "99999999999999999999"));

// ---- finding and fetching ----

TEST_F(ZpmzFiles, FindingListsTheDocuments) {
  answerWith("najdiSouborZPMZ/two_files.response.xml");
  find("600001", "1234");
  EXPECT_EQ(findCounts(), std::make_pair(1, 2));
  Record out = newRecord(arena, 13, 0xCC);
  HostMessages::attach(arena, out, 0, 1);
  HostList files(arena, 2, kFileRecSize, 0xCC);
  out.ptr(9, files.address());
  plugin->fn<PlainGetFn>("getNajdiSouborZPMZ")(out.data());
  EXPECT_EQ(messageFlags(out), "10000");
  EXPECT_EQ(files[0].textAt(0, 31), "11");
  EXPECT_EQ(files[0].textAt(31, 256), hostText("zpmz_1234_náčrt.pdf"));
  EXPECT_EQ(files[0].textAt(287, 33), "48213");
  EXPECT_EQ(files[1].textAt(0, 31), "12");
  EXPECT_EQ(files[1].textAt(31, 256), "zpmz_1234_seznam.txt");
  EXPECT_EQ(files[1].textAt(287, 33), "977");
  EXPECT_TRUE(files.guardIntact());
}

TEST_F(ZpmzFiles, FindingNothingCountsMinusOneFiles) {
  answerWith("najdiSouborZPMZ/no_files.response.xml");
  find("600001", "1234");
  EXPECT_EQ(findCounts(), std::make_pair(1, -1));
}

TEST_F(ZpmzFiles, FetchingCopiesTheFilesIdentityButNotItsContent) {
  answerWith("vratSouborZPMZ/document_11.response.xml");
  fetch("11");
  expectRequest("vratSouborZPMZ/document_11.request.xml");
  EXPECT_EQ(fetchCount(), 1);
  Record out = newRecord(arena, kFetchOutSize, 0xCC);
  HostMessages::attach(arena, out, 0, 1);
  plugin->fn<PlainGetFn>("getVratSouborZPMZ")(out.data());
  EXPECT_EQ(messageFlags(out), "10000");
  EXPECT_EQ(out.textAt(9, 31), "11");
  EXPECT_EQ(out.textAt(40, 256), "zpmz_1234_11.pdf");
  EXPECT_EQ(out.textAt(296, 33), "40");
  EXPECT_TRUE(guardIntact(out));
  plugin->fn<NoArgFn>("freeVratSouborZPMZ")();
  EXPECT_EQ(fetchCount(), int32_t(0xCCCCCCCC)) << "nothing held after free";
}

// ---- downloading ----

class Download : public ZpmzFiles {
protected:
  ScratchDirectory dir;
};

class NoDownload : public Download, public ::testing::WithParamInterface<int32_t> {};

TEST_P(NoDownload, CountOfZeroOrLessMakesNoCall) {
  HostList entries = downloadEntries(1);
  download(dir.path(), {"11"}, entries, GetParam());
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(entries[0].u8At(0), 0xCC);
  EXPECT_EQ(entries[0].textAt(40, 256), "keep");
  EXPECT_TRUE(dir.names().empty());
}

INSTANTIATE_TEST_SUITE_P(Counts, NoDownload, ::testing::Values(0, -3));

TEST_F(Download, AFailedDocumentDoesNotStopTheNextOne) {
  answerWith("vratSouborZPMZ/document_11.response.xml");
  server.enqueue(Answer::soap(readDataFile("vratSouborZPMZ/fault.response.xml"), 500, "Internal Server Error"));
  answerWith("vratSouborZPMZ/document_13.response.xml");
  HostList entries = downloadEntries(3);
  download(dir.path(), {"11", "12", "13"}, entries, 3);

  ASSERT_EQ(server.requests().size(), 3u);
  expectRequest("vratSouborZPMZ/document_11.request.xml", 0);
  expectRequest("vratSouborZPMZ/document_12.request.xml", 1);
  expectRequest("vratSouborZPMZ/document_13.request.xml", 2);

  EXPECT_EQ(messageFlags(entries[0]), "10000");
  EXPECT_EQ(entries[0].textAt(9, 31), "11");
  EXPECT_EQ(entries[0].textAt(40, 256), "zpmz_1234_11.pdf");
  EXPECT_EQ(entries[0].textAt(296, 33), "40");

  EXPECT_EQ(messageFlags(entries[1]), "00011");
  const HostMessages& failed = messagesOf(1);
  EXPECT_EQ(failed.kod(0), "1000");
  EXPECT_EQ(failed.text(0), hostText("ERemotableException; Dokument 12 výsledku 1234 neexistuje."));
  EXPECT_EQ(entries[1].textAt(40, 256), "keep");

  EXPECT_EQ(messageFlags(entries[2]), "10000");
  EXPECT_EQ(entries[2].textAt(40, 256), "zpmz_1234_13.bin");

  EXPECT_EQ(dir.names(), (std::set<std::string>{"zpmz_1234_11.pdf", "zpmz_1234_13.bin"}));
  EXPECT_EQ(readFile(dir / "zpmz_1234_11.pdf"), kDocument11);
  EXPECT_EQ(readFile(dir / "zpmz_1234_13.bin"), everyByte());
  EXPECT_EQ(fetchCount(), int32_t(0xCCCCCCCC)) << "no response is held afterwards";
  EXPECT_TRUE(entries.guardIntact());
}

class TargetDirectory : public Download, public ::testing::WithParamInterface<const char*> {};

TEST_P(TargetDirectory, GivesTheSamePathWithOrWithoutTheTrailingSlash) {
  answerWith("vratSouborZPMZ/document_11.response.xml");
  HostList entries = downloadEntries(1);
  download(dir.path() + GetParam(), {"11"}, entries, 1);
  EXPECT_EQ(dir.names(), std::set<std::string>{"zpmz_1234_11.pdf"});
  EXPECT_EQ(readFile(dir / "zpmz_1234_11.pdf"), kDocument11);
}

INSTANTIATE_TEST_SUITE_P(Forms, TargetDirectory, ::testing::Values("", "/"),
                         [](const auto& info) { return std::string(*info.param ? "TrailingSlash" : "Bare"); });

TEST_F(Download, AFileInUseIsReportedAndLeftAlone) {
  const std::string held = dir / "zpmz_1234_11.pdf";
  writeFile(held, "held by another program");
  auto holder = std::make_unique<FileHolder>(held, FileHolder::ways().front());
  answerWith("vratSouborZPMZ/document_11.response.xml");
  answerWith("vratSouborZPMZ/document_13.response.xml");
  HostList entries = downloadEntries(2);
  download(dir.path(), {"11", "13"}, entries, 2);

  EXPECT_EQ(messageFlags(entries[0]), "00001");
  const HostMessages& m = messagesOf(0);
  EXPECT_EQ(m.kod(0), "1000");
  EXPECT_EQ(m.uroven(0), 2);
  EXPECT_EQ(m.text(0), "File in use: " + held);
  EXPECT_EQ(entries[0].textAt(40, 256), "zpmz_1234_11.pdf") << "the identity is still copied";
  holder.reset();  // a file held without sharing cannot be read by anyone, this test included
  EXPECT_EQ(readFile(held), "held by another program");

  EXPECT_EQ(messageFlags(entries[1]), "10000");
  EXPECT_EQ(readFile(dir / "zpmz_1234_13.bin"), everyByte());
  EXPECT_EQ(dir.names(), (std::set<std::string>{"zpmz_1234_11.pdf", "zpmz_1234_13.bin"}));
}

// The document_11 answer with the file name the service gives replaced.
std::string namedFile(const std::string& name) {
  std::string body = readDataFile("vratSouborZPMZ/document_11.response.xml");
  const std::string given = "<ns0:nazevSouboru>zpmz_1234_11.pdf</ns0:nazevSouboru>";
  body.replace(body.find(given), given.size(), "<ns0:nazevSouboru>" + name + "</ns0:nazevSouboru>");
  return body;
}

TEST_F(Download, NamesThatLeaveTheTargetFolderAreRefused) {
  ScratchDirectory elsewhere;
  std::filesystem::create_directory(dir / "sub");
  const std::vector<std::string> refused = {"../escaped.bin", "sub/inner.bin", elsewhere / "absolute.bin",
                                            "", ".", "..", "back\\slash.bin", "c:drive.bin"};
  for (const std::string& name : refused) server.enqueue(Answer::soap(namedFile(name)));
  answerWith("vratSouborZPMZ/document_13.response.xml");
  const int32_t n = int32_t(refused.size()) + 1;
  HostList entries = downloadEntries(n);
  download(dir.path(), std::vector<std::string>(size_t(n), "11"), entries, n);

  for (size_t i = 0; i < refused.size(); ++i) {
    SCOPED_TRACE(refused[i]);
    EXPECT_EQ(messageFlags(entries[i]), "00010");
    EXPECT_EQ(messagesOf(i).kod(0), "1001");
    EXPECT_EQ(messagesOf(i).uroven(0), 2);
    EXPECT_EQ(messagesOf(i).text(0), "EInOutError; refused file name \"" + refused[i] +
                                         "\": not a file directly in " + dir.path() + kPathDelimiter);
  }
  EXPECT_EQ(messageFlags(entries[refused.size()]), "10000") << "the entries after a refused one go on";
  EXPECT_EQ(dir.names(), (std::set<std::string>{"sub", "zpmz_1234_13.bin"}));
  EXPECT_TRUE(std::filesystem::is_empty(dir / "sub"));
  EXPECT_TRUE(elsewhere.names().empty());
  EXPECT_FALSE(exists(dir / "../escaped.bin"));
}

#if !defined(_WIN32)  // record locks and file-size limits are POSIX
// The host's own record lock on a target: the file counts as in use and the lock stays.
TEST_F(Download, LeavesTheHostsOwnLockInPlace) {
  const std::string held = dir / "zpmz_1234_11.pdf";
  writeFile(held, "locked by the host");
  const int fd = lockInThisProcess(held);
  ASSERT_GE(fd, 0);
  answerWith("vratSouborZPMZ/document_11.response.xml");
  HostList entries = downloadEntries(1);
  download(dir.path(), {"11"}, entries, 1);
  EXPECT_EQ(messagesOf(0).text(0), "File in use: " + held);
  EXPECT_TRUE(recordLockHeldBy(getpid(), held)) << "the host's lock is gone";
  close(fd);  // reading the file below would drop the lock too
  EXPECT_EQ(readFile(held), "locked by the host");
}

// A file that cannot be saved (here: beyond the file-size limit of a child process, as a full
// disk would refuse it) is reported in its entry, never as the service's success. The child
// writes what its entries say into a file for the test to read.
TEST_F(Download, AFileThatCannotBeSavedIsReportedWithTheReason) {
  answerWith("vratSouborZPMZ/document_11.response.xml");  // 40 bytes: fits
  answerWith("vratSouborZPMZ/document_13.response.xml");  // 256 bytes: does not
  const std::string report = dir / "report.txt";
  const int status = runInChild([&] {
    struct rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlim_t unlimited = limit.rlim_cur;
    limit.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &limit);
    HostList entries = downloadEntries(2);
    download(dir.path(), {"11", "13"}, entries, 2);
    limit.rlim_cur = unlimited;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string seen;
    for (size_t i = 0; i < 2; ++i)
      seen += messageFlags(entries[i]) + " " + messagesOf(i).kod(0) + " " + messagesOf(i).text(0) + "\n";
    writeFile(report, seen);
  });
  ASSERT_EQ(status, 0);
  EXPECT_EQ(readFile(report), "10000 0 Požadovaná akce byla úspěšně provedena.\n"
                              "00010 1001 EInOutError; cannot write " + dir.path() +
                              "/zpmz_1234_13.bin: File too large\n");
  EXPECT_EQ(dir.names(), (std::set<std::string>{"report.txt", "zpmz_1234_11.pdf"}));
}
#endif

TEST_F(Download, ResultListShorterThanCountIsNotOverrun) {
  answerWith("vratSouborZPMZ/document_11.response.xml");
  HostList entries = downloadEntries(1);
  download(dir.path(), {"11", "13"}, entries, 2);
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_TRUE(entries.guardIntact());
}

// ---- large files: fetched and saved byte for byte, held in a scratch file meanwhile ----

std::string sha256Hex(const std::function<size_t(uint8_t*, size_t)>& next) {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr);
  std::vector<uint8_t> buffer(1 << 20);
  while (size_t n = next(buffer.data(), buffer.size())) EVP_DigestUpdate(ctx, buffer.data(), n);
  unsigned char digest[32];
  unsigned int length = 0;
  EVP_DigestFinal_ex(ctx, digest, &length);
  EVP_MD_CTX_free(ctx);
  std::string hex;
  for (unsigned i = 0; i < length; ++i) {
    static const char* digits = "0123456789abcdef";
    hex += digits[digest[i] >> 4];
    hex += digits[digest[i] & 15];
  }
  return hex;
}

constexpr uint64_t kSeed = 0x5EED2024;

std::string noiseDigest(uint64_t size) {
  Noise noise(kSeed);
  return sha256Hex([&](uint8_t* p, size_t n) {
    const size_t take = size_t(std::min<uint64_t>(n, size));
    noise.fill(p, take);
    size -= take;
    return take;
  });
}

std::string fileDigest(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return sha256Hex([&](uint8_t* p, size_t n) {
    in.read(reinterpret_cast<char*>(p), std::streamsize(n));
    return size_t(in.gcount());
  });
}

Answer largeFileAnswer(uint64_t size) {
  return noiseFileAnswer(readDataFile("vratSouborZPMZ/large.response.xml"), size, kSeed);
}

TEST_F(Download, HundredMegabyteFileIsSavedByteIdentical) {
  constexpr uint64_t kSize = uint64_t(100) << 20;
  server.enqueue(largeFileAnswer(kSize));
  HostList entries = downloadEntries(1);
  download(dir.path(), {"31"}, entries, 1);
  ASSERT_EQ(messageFlags(entries[0]), "10000") << messagesOf(0).text(0);
  const std::string saved = dir / "zpmz_1234_mapa.tif";
  ASSERT_EQ(std::filesystem::file_size(saved), kSize);
  EXPECT_EQ(fileDigest(saved), noiseDigest(kSize));
  EXPECT_EQ(fetchCount(), int32_t(0xCCCCCCCC)) << "the large response is released";
}

// A file of some MB is held in a scratch file in TmpPath: open, but without a name there, and
// closed, so gone, when the response goes, whichever way it goes.
class ScratchFile : public Download {
protected:
  static constexpr uint64_t kSize = uint64_t(12) << 20;
  void SetUp() override {
    Download::SetUp();
    Record r = newRecord(arena, params::kSize);
    set(r, params::tmpPath, tmp.path());
    set(r, params::logPath, tmp.path());
    plugin->fn<RecordFn>("SetVOKRParams")(r.data());
  }
  size_t scratchFiles() const { return openFilesIn(tmp.path()).size(); }
  void save(const std::string& path) { plugin->fn<RecordFn>("saveSouborZPMZ")(hostPath(arena, path)); }

  ScratchDirectory tmp;
};

TEST_F(ScratchFile, HoldsAFetchedFileThatIsSavedIntactAndGoesWithFree) {
#ifdef _WIN32
  GTEST_SKIP() << "scratch files are observed through /proc/self/fd, which wine does not have";
#endif
  server.enqueue(largeFileAnswer(kSize));
  fetch("31");
  ASSERT_EQ(fetchCount(), 1);
  EXPECT_EQ(scratchFiles(), 1u);
  EXPECT_TRUE(tmp.names().empty()) << "the scratch file has no name";
  // Saved twice: the scratch file is read from its start each time.
  for (const char* name : {"first.tif", "second.tif"}) {
    save(dir / name);
    ASSERT_EQ(std::filesystem::file_size(dir / name), kSize) << name;
    EXPECT_EQ(fileDigest(dir / name), noiseDigest(kSize)) << name;
  }
  plugin->fn<NoArgFn>("freeVratSouborZPMZ")();
  EXPECT_EQ(scratchFiles(), 0u);
}

TEST_F(ScratchFile, GoesWhenTheLibraryIsUnloaded) {
#ifdef _WIN32
  GTEST_SKIP() << "scratch files are observed through /proc/self/fd, which wine does not have";
#endif
  server.enqueue(largeFileAnswer(kSize));
  fetch("31");
  EXPECT_EQ(scratchFiles(), 1u);
  plugin.reset();
  EXPECT_EQ(scratchFiles(), 0u);
}

TEST_F(ScratchFile, GoesWhenTheCallFails) {
  Answer cut = largeFileAnswer(kSize);
  cut.close = Answer::Close::midBody;  // past the threshold: the scratch file exists by then
  server.enqueue(std::move(cut));
  fetch("31");
  EXPECT_EQ(fetchCount(), 1) << "one failure message";
  EXPECT_EQ(scratchFiles(), 0u);
  EXPECT_TRUE(tmp.names().empty());
}

} // namespace
