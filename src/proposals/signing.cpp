#include "proposals/signing.h"

#include <cstdio>
#include <cxxabi.h>
#include <exception>
#include <cstring>
#include <optional>

#include "channel/dump.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "plugin/host.h"

namespace vokr::proposals {

namespace {

constexpr char kInputName[] = "tmpSign.xml";
constexpr char kOutputName[] = "tmpSigned.xml";

// Trivially destructible, so that the plug-in's unload hook may reach it whatever the order of
// static destruction, and nothing of it is left behind when the plug-in is unloaded.
struct Signer {
  platform::LoadedLibrary* library = nullptr;
  PelkSigner_SignXML_Fn sign = nullptr;
  char missing[1024] = "the signing library is not loaded";

  void setMissing(const std::string& why) {
    std::snprintf(missing, sizeof missing, "%s", why.c_str());
  }
};

Signer& signer() {
  static Signer s;
  return s;
}

// The library opens the very bytes it is given, so a path must reach it unchanged: no cut, no
// character the host code page lacks.
void putPath(char (&field)[pelk::kPathWidth], const std::string& path) {
  const std::string native = platform::nativePath(path);
  if (native.size() >= sizeof field)
    throw Error(ErrorKind::InOutError, "the path cannot be handed to the signing library: " + path);
  std::memcpy(field, native.c_str(), native.size() + 1);
}

SigningFailure failure(int32_t status, std::string_view reason) {
  return {status, "Signature utility error - " + std::to_string(status) + "\r\n" +
                      std::string(reason)};
}

} // namespace

void loadSigner(const std::string& directory) {
  unloadSigner();
  Signer& s = signer();
  const std::string fileName = platform::libraryFileName(kPelkSignerName);
  std::string besideWhy, linkerWhy;
  platform::LoadedLibrary* library = platform::loadLibrary(directory + fileName, besideWhy);
  if (!library) library = platform::loadLibrary(fileName, linkerWhy);
  if (!library) {
    s.setMissing("signing library " + fileName + " not found: " + besideWhy + "; " + linkerWhy);
    return;
  }
  auto sign = reinterpret_cast<PelkSigner_SignXML_Fn>(platform::librarySymbol(library, kPelkSignerSymbol));
  if (!sign) {
    const std::string file = platform::loadedFrom(library);
    s.setMissing(std::string("function ") + kPelkSignerSymbol + " not found in " +
                 (file.empty() ? fileName : file));
    platform::unloadLibrary(library);
    return;
  }
  s.library = library;
  s.sign = sign;
}

void loadSigner() { loadSigner(platform::libraryDirectory()); }

void unloadSigner() {
  Signer& s = signer();
  platform::unloadLibrary(s.library);
  s = Signer{};
}

SigningOutcome signDocument(std::string_view document,
                            std::span<const uint8_t, pelk::kSigningBlockWidth> signingBlock,
                            std::string_view operation, const std::string& tmpFolder,
                            const channel::DumpSettings& dumps) {
  const std::string input = tmpFolder + kInputName;
  const std::string output = tmpFolder + kOutputName;
  TPelkSignerFiles files{};
  putPath(files.InputFile, input);
  putPath(files.OutputFile, output);
  std::memcpy(files.SigningBlock, signingBlock.data(), signingBlock.size());

  platform::deleteFileIfExists(input);
  platform::deleteFileIfExists(output);
  platform::createNewFile(input, document);

  const Signer& s = signer();
  if (!s.sign) return failure(kSignerUnavailable, s.missing);
  TPelkSignerResult result{};
  bool signedIt;
  // An exception out of the library, whatever its language or type, is the library's failure:
  // it neither passes for one of the plug-in's own nor lets an older answer stand.
  try {
    signedIt = s.sign(files, pelk::kSignerConfig, &result);
  } catch (abi::__forced_unwind&) {
    throw;  // a thread being cancelled is not the library's failure
  } catch (const std::exception& e) {
    return failure(kSignerUnavailable, std::string("the signing library raised an exception: ") + e.what());
  } catch (...) {
    return failure(kSignerUnavailable, "the signing library raised an exception");
  }
  // After True the result record means nothing; after False it says why.
  if (!signedIt) return failure(result.Code, plugin::readText(result.Message));

  std::optional<std::string> signedDocument = platform::readFileIfExists(output);
  if (!signedDocument) return failure(kSignedFileMissing, "signed document not found: " + output);
  if (dumps.enabled)
    channel::writeDump(dumps, std::string(operation) + " - vnitrni xml signed", "req", *signedDocument);
  platform::deleteFileIfExists(input);
  platform::deleteFileIfExists(output);
  return std::move(*signedDocument);
}

} // namespace vokr::proposals
