// Holds a file as another Windows program would: open for reading and writing, sharing nothing.
// Writes '1' to its standard output once it holds the file ('0' when it cannot), then keeps
// the file open until its standard input ends.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  const char verdict = file != INVALID_HANDLE_VALUE ? '1' : '0';
  DWORD n;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), &verdict, 1, &n, nullptr);
  char c;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &n, nullptr) && n > 0) {
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return verdict == '1' ? 0 : 1;
}
