#include "system.h"

#include <windows.h>

#include <csignal>
#include <io.h>
#include <vector>

namespace host::sys {

namespace {

std::wstring wide(const std::string& text) {
  // Paths and names arrive in the host code page, which is the ANSI code page.
  std::wstring w(text.size(), L'\0');
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), w.data(), int(w.size()));
  w.resize(n > 0 ? size_t(n) : 0);
  return w;
}

std::string systemMessage(DWORD code) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = n ? std::string(text, n) : "error " + std::to_string(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  return message;
}

void (*interruptHandler)(int) = nullptr;

BOOL WINAPI consoleEvent(DWORD event) {
  interruptHandler(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM);
  return TRUE;
}

} // namespace

// A 32-bit process has nothing but memory below 4 GiB.
char* reserveLowMemory(size_t bytes) {
  return static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void releaseLowMemory(char* base, size_t) { VirtualFree(base, 0, MEM_RELEASE); }

const char* const kPluginFileName = "vokr.dll";

void* loadLibrary(const std::string& path, std::string& why) {
  HMODULE library = LoadLibraryExW(wide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!library) why = systemMessage(GetLastError());
  return reinterpret_cast<void*>(library);
}

void* librarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void unloadLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::string executableDirectory() {
  std::vector<char> self(MAX_PATH);
  DWORD n;
  while ((n = GetModuleFileNameA(nullptr, self.data(), DWORD(self.size()))) >= self.size()) self.resize(self.size() * 2);
  if (n == 0) return {};
  std::string dir(self.data(), n);
  return dir.erase(dir.find_last_of("\\/") + 1);
}

void setEnvironment(const std::string& name, const std::string& value) {
  _putenv((name + "=" + value).c_str());  // the C runtime's copy and the process's alike
}

bool localCalendar(time_t t, std::tm& fields) { return localtime_s(&fields, &t) == 0; }
bool utcCalendar(time_t t, std::tm& fields) { return gmtime_s(&fields, &t) == 0; }

unsigned long processId() { return GetCurrentProcessId(); }

bool inputIsTerminal() { return _isatty(_fileno(stdin)); }
bool errorIsTerminal() { return _isatty(_fileno(stderr)); }

void setInputEcho(bool on) {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(input, &mode)) return;
  SetConsoleMode(input, on ? mode | ENABLE_ECHO_INPUT : mode & ~DWORD(ENABLE_ECHO_INPUT));
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
  HANDLE file = CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const BOOL ok = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::optional<uint64_t> fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The console runs its handler on a thread of its own.
void onInterrupt(void (*handler)(int signal)) {
  interruptHandler = handler;
  SetConsoleCtrlHandler(consoleEvent, TRUE);
}

} // namespace host::sys
