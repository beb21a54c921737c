// Redirector addresses and host names taken from the built table, so tests follow the
// configuration.
#pragma once

#include <string>

#include "link_rewriting.h"

inline std::string Pattern(int row) {
  return kRedirectorTable[static_cast<std::size_t>(row)].pattern;
}

inline std::string Host(int row) {
  return kRedirectorTable[static_cast<std::size_t>(row)].host;
}

// Runs an in-place edit on a copy of text; the copy shows what it left.
template <typename Edit>
bool Apply(Edit edit, std::string &text) {
  std::string buffer = text;
  const bool result = edit(buffer.data());
  text = buffer.c_str();
  return result;
}
