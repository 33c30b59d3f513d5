// The test signing library: a real libPelkSigner.so without cryptography. It "signs" by copying
// the input file and appending kTestSignature, and lets a test steer it through the signing
// block, whose first 1025 bytes hold a command text:
//   "" or "sign"                   copy, return True
//   "fail <code> [text]"           write nothing, return False with code and text
//   "fail-after-output <code> [text]"  copy, then return False with code and text
//   "true-with-code <code> [text]" copy, return True with code and text in the result
//   "no-output"                    write nothing, return True
//   "throw-std [text]"             throw a std::runtime_error with the text
//   "throw-other"                  throw a value of a type outside std::exception
// When VOKR_TEST_SIGNER_RECORD names a file, the two records received by value are written
// there first, byte for byte (files record, then configuration record).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "pelk_signer.h"
#include "test_signer.h"

namespace {

struct NotAStdException {};

bool copyWithSignature(const char* input, const char* output) {
  std::ifstream in(input, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out << bytes << vokr::test::kTestSignature;
  return static_cast<bool>(out.flush());
}

void record(const TPelkSignerFiles& files, const TPelkSignerConfig& config) {
  const char* path = std::getenv("VOKR_TEST_SIGNER_RECORD");
  if (!path) return;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&files), sizeof files);
  out.write(reinterpret_cast<const char*>(&config), sizeof config);
}

void setResult(TPelkSignerResult* result, int32_t code, const std::string& text) {
  result->Code = code;
  std::snprintf(result->Message, sizeof result->Message, "%s", text.c_str());
}

} // namespace

extern "C" uint8_t PELK_STDCALL PelkSigner_SignXML(TPelkSignerFiles files,
                                                   TPelkSignerConfig config,
                                                   TPelkSignerResult* result) {
  record(files, config);
  const char* block = reinterpret_cast<const char*>(files.SigningBlock);
  std::istringstream command(std::string(block, strnlen(block, pelk::kPathWidth)));
  std::string mode, text;
  int32_t code = 0;
  command >> mode;
  if (!mode.starts_with("throw")) command >> code;
  std::getline(command >> std::ws, text);

  if (mode.empty() || mode == "sign" || mode == "true-with-code") {
    if (!copyWithSignature(files.InputFile, files.OutputFile)) {
      setResult(result, -100, "test signer: cannot copy the input");
      return 0;
    }
    if (mode == "true-with-code") setResult(result, code, text);
    return 1;
  }
  if (mode == "no-output") return 1;
  if (mode == "throw-std") throw std::runtime_error(text);
  if (mode == "throw-other") throw NotAStdException{};
  if (mode == "fail-after-output") copyWithSignature(files.InputFile, files.OutputFile);
  if (mode == "fail" || mode == "fail-after-output") {
    setResult(result, code, text);
    return 0;
  }
  setResult(result, -101, "test signer: unknown command " + mode);
  return 0;
}
