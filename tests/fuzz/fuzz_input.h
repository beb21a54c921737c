// What a fuzz input stands for: the program's buffers are C strings, so nothing after a NUL
// is ever seen.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

inline std::string AsCString(const std::uint8_t *data, std::size_t size) {
  const char *text = reinterpret_cast<const char *>(data);
  return std::string(text, strnlen(text, size));
}
