// The registry's few calls that forwarding and setting up make, on wide strings.
#pragma once

#include <windows.h>

// The string value name (null: the key's default) of key below root, into out of chars
// characters, as stored, with its type (REG_SZ or REG_EXPAND_SZ). RegGetValue's status:
// ERROR_MORE_DATA tells a longer value from a missing one.
LSTATUS GetString(HKEY root, const wchar_t *key, const wchar_t *name, wchar_t *out, DWORD chars,
                  DWORD *type = nullptr) noexcept;

// As GetString; false if the value is missing, no string, or longer.
inline bool ReadString(HKEY root, const wchar_t *key, const wchar_t *name, wchar_t *out,
                       DWORD chars, DWORD *type = nullptr) noexcept {
  return GetString(root, key, name, out, chars, type) == ERROR_SUCCESS;
}

// The key of the "open" command of class_name below HKEY_CLASSES_ROOT, into out; false for a
// name no key can have.
constexpr int kClassCommandKeySize = 256 + sizeof "\\shell\\open\\command";
bool ClassCommandKey(const char *class_name, wchar_t (&out)[kClassCommandKeySize]) noexcept;

// Sets the string value name of key below root, making the key if need be.
bool WriteString(HKEY root, const wchar_t *key, const wchar_t *name, const wchar_t *value,
                 DWORD type = REG_SZ) noexcept;

// Removes key below root with everything in it; true if it is gone, or was never there.
bool DeleteKey(HKEY root, const wchar_t *key) noexcept;

// Removes the value name of key below root; true if it is gone, or was never there.
bool DeleteValue(HKEY root, const wchar_t *key, const wchar_t *name) noexcept;
