// The registry's few calls that forwarding and setting up make, on wide strings.
#include "registry.h"

LSTATUS GetString(HKEY root, const wchar_t *key, const wchar_t *name, wchar_t *out, DWORD chars,
                  DWORD *type) noexcept {
  DWORD size = chars * sizeof *out;
  return RegGetValueW(root, key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, type,
                      out, &size);
}

// A key's name holds at most 255 characters.
bool ClassCommandKey(const char *class_name, wchar_t (&out)[kClassCommandKeySize]) noexcept {
  if (MultiByteToWideChar(CP_ACP, 0, class_name, -1, out, 256) == 0) {
    return false;
  }
  lstrcatW(out, L"\\shell\\open\\command");
  return true;
}

bool WriteString(HKEY root, const wchar_t *key, const wchar_t *name, const wchar_t *value,
                 DWORD type) noexcept {
  HKEY handle;
  if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const auto size =
      static_cast<DWORD>((static_cast<unsigned>(lstrlenW(value)) + 1) * sizeof *value);
  const bool written = RegSetValueExW(handle, name, 0, type, reinterpret_cast<const BYTE *>(value),
                                      size) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return written;
}

bool DeleteKey(HKEY root, const wchar_t *key) noexcept {
  const LSTATUS status = RegDeleteTreeW(root, key);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool DeleteValue(HKEY root, const wchar_t *key, const wchar_t *name) noexcept {
  HKEY handle;
  LSTATUS status = RegOpenKeyExW(root, key, 0, KEY_SET_VALUE, &handle);
  if (status == ERROR_SUCCESS) {
    status = RegDeleteValueW(handle, name);
    RegCloseKey(handle);
  }
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
