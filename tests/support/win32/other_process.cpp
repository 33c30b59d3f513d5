#include "other_process.h"

#include <windows.h>

#include <stdexcept>

#include "win32/wide.h"

namespace vokr::test {

const std::vector<FileHolder::Lock>& FileHolder::ways() {
  static const std::vector<Lock> ways = {Lock::noSharing};
  return ways;
}

// The holder is a program of its own (hold_file.cpp): it answers '1' on its standard output
// once it holds the file, and lets go when its standard input ends.
FileHolder::FileHolder(const std::string& path, Lock lock) {
  if (lock != Lock::noSharing) throw std::invalid_argument("Windows holds files without sharing only");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readyRead, readyWrite, releaseRead, releaseWrite;
  if (!CreatePipe(&readyRead, &readyWrite, &inherit, 0)) throw std::runtime_error("pipe");
  if (!CreatePipe(&releaseRead, &releaseWrite, &inherit, 0)) throw std::runtime_error("pipe");
  SetHandleInformation(readyRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(releaseWrite, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = releaseRead;
  startup.hStdOutput = readyWrite;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::wstring command = wide("\"" VOKR_FILE_HOLDER "\" \"" + path + "\"");
  PROCESS_INFORMATION started{};
  const BOOL ok = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started);
  CloseHandle(readyWrite);
  CloseHandle(releaseRead);
  if (!ok) {
    CloseHandle(readyRead);
    CloseHandle(releaseWrite);
    throw std::runtime_error("cannot start " VOKR_FILE_HOLDER);
  }
  CloseHandle(started.hThread);
  child_ = reinterpret_cast<intptr_t>(started.hProcess);
  release_ = reinterpret_cast<intptr_t>(releaseWrite);
  char verdict = 0;
  DWORD n = 0;
  const bool heard = ReadFile(readyRead, &verdict, 1, &n, nullptr) && n == 1;
  CloseHandle(readyRead);
  if (!heard || verdict != '1') {
    stop();
    throw std::runtime_error("the holder could not hold " + path);
  }
}

FileHolder::~FileHolder() { stop(); }

void FileHolder::stop() {
  if (release_ != -1) CloseHandle(reinterpret_cast<HANDLE>(release_));
  release_ = -1;
  if (child_ != -1) {
    WaitForSingleObject(reinterpret_cast<HANDLE>(child_), INFINITE);
    CloseHandle(reinterpret_cast<HANDLE>(child_));
  }
  child_ = -1;
}

} // namespace vokr::test
