// Test helper: proves that something started it by leaving a file named "started" beside it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH + 8];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  while (length > 0 && path[length - 1] != '\\') {
    --length;
  }
  lstrcpyA(path + length, "started");
  CloseHandle(
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return 0;
}
