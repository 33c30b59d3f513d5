#include "system.h"

#include <windows.h>

#include <libxml/threads.h>

// libxml2 is linked in statically for use inside a DLL: its per-thread state is released from
// the DLL's entry point.
extern "C" int xmlDllMain(void* module, unsigned long reason, void* reserved);

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  xmlDllMain(module, reason, reserved);
  return TRUE;
}

namespace pelk::stand_in {

namespace {

std::string systemMessage(DWORD code) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = n ? std::string(text, n) : "error " + std::to_string(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
    message.pop_back();
  return message;
}

} // namespace

// The paths are in the host code page, which is the process ANSI code page: the A calls.
std::optional<std::string> readWholeFile(const std::string& path, std::string& error) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = systemMessage(GetLastError());
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  DWORD n = 0;
  BOOL ok;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &n, nullptr)) && n > 0) bytes.append(buffer, n);
  if (!ok) error = systemMessage(GetLastError());
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

bool writeNewFile(const std::string& path, const void* bytes, size_t size, std::string& error) {
  if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    error = systemMessage(GetLastError());
    return false;
  }
  // A reparse point put there in between is refused, not followed: CREATE_NEW fails on it.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = systemMessage(GetLastError());
    return false;
  }
  bool ok = true;
  for (size_t done = 0; ok && done < size;) {
    DWORD n = 0;
    DWORD chunk = size - done > (1u << 30) ? (1u << 30) : DWORD(size - done);
    ok = WriteFile(file, static_cast<const char*>(bytes) + done, chunk, &n, nullptr);
    done += n;
  }
  if (!ok) error = systemMessage(GetLastError());
  if (!CloseHandle(file) && ok) {
    ok = false;
    error = systemMessage(GetLastError());
  }
  if (!ok) DeleteFileA(path.c_str());
  return ok;
}

} // namespace pelk::stand_in
