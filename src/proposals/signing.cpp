#include "proposals/signing.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include "channel/dump.h"
#include "platform/error.h"
#include "platform/platform.h"
#include "plugin/host.h"
#include "plugin/settings.h"

namespace vokr::proposals {

namespace {

constexpr char kInputName[] = "tmpSign.xml";
constexpr char kOutputName[] = "tmpSigned.xml";

// Trivially destructible, so that the plug-in's unload hook may reach it whatever the order of
// static destruction, and nothing of it is left behind when the plug-in is unloaded.
struct Signer {
  void* handle = nullptr;
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

// ---- temporary files: never followed through a link, never taken over from someone else ----

[[noreturn]] void fileError(const char* what, const std::string& path) {
  throw Error("EInOutError", std::string(what) + " " + path + ": " + std::strerror(errno));
}

void removeIfExists(const std::string& path) {
  if (unlink(platform::nativePath(path).c_str()) != 0 && errno != ENOENT) fileError("cannot delete", path);
}

void createExclusive(const std::string& path, std::string_view bytes) {
  int fd = open(platform::nativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) fileError("cannot create", path);
  if (!platform::writeAll(fd, bytes.data(), bytes.size())) {
    const int writeErrno = errno;
    close(fd);
    errno = writeErrno;
    fileError("cannot write", path);
  }
  if (close(fd) != 0) fileError("cannot write", path);
}

// The whole file, or nothing when there is none.
std::optional<std::string> readIfExists(const std::string& path) {
  int fd = open(platform::nativePath(path).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    fileError("cannot open", path);
  }
  std::string bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<size_t>(n));
  const int readErrno = errno;
  close(fd);
  if (n < 0) {
    errno = readErrno;
    fileError("cannot read", path);
  }
  return bytes;
}

// The library opens the very bytes it is given, so a path must reach it unchanged: no cut, no
// character the host code page lacks.
void putPath(char (&field)[pelk::kPathWidth], const std::string& path) {
  const std::string native = platform::nativePath(path);
  if (native.size() >= sizeof field)
    throw Error("EInOutError", "the path cannot be handed to the signing library: " + path);
  std::memcpy(field, native.c_str(), native.size() + 1);
}

std::string loadedFrom(void* handle) {
  link_map* map = nullptr;
  return dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map ? map->l_name : kPelkSignerLibrary;
}

SigningFailure failure(int32_t status, std::string_view reason) {
  return {status, "Signature utility error - " + std::to_string(status) + "\r\n" +
                      std::string(reason)};
}

} // namespace

void loadSigner(const std::string& directory) {
  unloadSigner();
  Signer& s = signer();
  const std::string beside = directory + kPelkSignerLibrary;
  void* handle = dlopen(platform::nativePath(beside).c_str(), RTLD_NOW | RTLD_LOCAL);
  std::string why;
  if (!handle) {
    why = dlerror();
    handle = dlopen(kPelkSignerLibrary, RTLD_NOW | RTLD_LOCAL);
  }
  if (!handle) {
    s.setMissing(std::string("signing library ") + kPelkSignerLibrary + " not found: " + why +
                 "; " + dlerror());
    return;
  }
  auto sign = reinterpret_cast<PelkSigner_SignXML_Fn>(dlsym(handle, kPelkSignerSymbol));
  if (!sign) {
    s.setMissing(std::string("function ") + kPelkSignerSymbol + " not found in " +
                 loadedFrom(handle));
    dlclose(handle);
    return;
  }
  s.handle = handle;
  s.sign = sign;
}

void loadSigner() { loadSigner(platform::libraryDirectory()); }

void unloadSigner() {
  Signer& s = signer();
  if (s.handle) dlclose(s.handle);
  s = Signer{};
}

SigningOutcome signDocument(std::string_view document,
                            std::span<const uint8_t, pelk::kSigningBlockWidth> signingBlock,
                            std::string_view operation) {
  const std::string& tmp = plugin::params().tmpPath;
  const std::string input = tmp + kInputName;
  const std::string output = tmp + kOutputName;
  TPelkSignerFiles files{};
  putPath(files.InputFile, input);
  putPath(files.OutputFile, output);
  std::memcpy(files.SigningBlock, signingBlock.data(), signingBlock.size());

  removeIfExists(input);
  removeIfExists(output);
  createExclusive(input, document);

  const Signer& s = signer();
  if (!s.sign) return failure(kSignerUnavailable, s.missing);
  TPelkSignerResult result{};
  // After True the result record means nothing; after False it says why.
  if (!s.sign(files, pelk::kSignerConfig, &result))
    return failure(result.Code, plugin::readText(result.Message));

  std::optional<std::string> signedDocument = readIfExists(output);
  if (!signedDocument) return failure(kSignedFileMissing, "signed document not found: " + output);
  if (channel::dumpsEnabled())
    channel::writeDump(std::string(operation) + " - vnitrni xml signed", "req", *signedDocument);
  removeIfExists(input);
  removeIfExists(output);
  return std::move(*signedDocument);
}

} // namespace vokr::proposals
