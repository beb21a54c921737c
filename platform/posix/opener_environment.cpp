// The opener's environment: ours, with BROWSER made safe to hand the link to.
#include "opener_environment.h"

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char **environ;

namespace {

constexpr char kBrowser[] = "BROWSER=";
constexpr std::size_t kBrowserLength = sizeof kBrowser - 1;

bool IsNamed(const char *name, std::size_t length, const char *wanted) {
  return std::strlen(wanted) == length && std::memcmp(name, wanted, length) == 0;
}

// Whether an entry of BROWSER, a command whose first word names the program, starts us.
bool StartsUs(const char *entry, std::size_t length, const char *own_name) {
  const char *end = entry + length;
  while (entry < end && (*entry == ' ' || *entry == '\t')) {
    ++entry;
  }
  const char *word_end = entry;
  while (word_end < end && *word_end != ' ' && *word_end != '\t') {
    ++word_end;
  }
  return NamesUs(entry, static_cast<std::size_t>(word_end - entry), own_name);
}

// BROWSER=VALUE without the entries that start us, written into out, or "" when none is
// left.
void WithoutUs(const char *value, const char *own_name, char *out) {
  std::memcpy(out, kBrowser, kBrowserLength);
  char *kept = out + kBrowserLength;
  char *w = kept;
  for (const char *entry = value;;) {
    const char *colon = std::strchr(entry, ':');
    const auto length =
        colon != nullptr ? static_cast<std::size_t>(colon - entry) : std::strlen(entry);
    if (!StartsUs(entry, length, own_name)) {
      if (w != kept) {
        *w++ = ':';
      }
      std::memcpy(w, entry, length);
      w += length;
    }
    if (colon == nullptr) {
      break;
    }
    entry = colon + 1;
  }
  *w = '\0';
  if (w == kept) {
    out[0] = '\0';
  }
}

bool IsBrowser(const char *variable) {
  return std::strncmp(variable, kBrowser, kBrowserLength) == 0;
}

// Whether variable is "NAME=..." for the NAME of extra, "NAME=value".
bool IsNamedAs(const char *variable, const char *extra) {
  const std::size_t name = std::strcspn(extra, "=") + 1;
  return std::strncmp(variable, extra, name) == 0;
}

}  // namespace

bool NamesUs(const char *path, std::size_t length, const char *own_name) {
  const char *name = path + length;
  while (name > path && name[-1] != '/') {
    --name;
  }
  const auto name_length = static_cast<std::size_t>(path + length - name);
  return IsNamed(name, name_length, "link-unwrapper") || IsNamed(name, name_length, own_name);
}

// The pointers come first in the block, then room for the filtered values.
char **OpenerEnvironment(const char *own_name, const char *extra) {
  std::size_t count = 0;
  std::size_t room = 0;
  for (; environ[count] != nullptr; ++count) {
    if (IsBrowser(environ[count])) {
      room += std::strlen(environ[count]) + 1;
    }
  }
  const std::size_t pointers = (count + 2) * sizeof(char *);
  auto **envp = static_cast<char **>(std::malloc(pointers + room));
  if (envp == nullptr) {
    return nullptr;
  }
  char *filtered = reinterpret_cast<char *>(envp) + pointers;
  std::size_t n = 0;
  for (std::size_t i = 0; i < count; ++i) {
    char *variable = environ[i];
    if (extra != nullptr && IsNamedAs(variable, extra)) {
      continue;
    }
    if (IsBrowser(variable)) {
      WithoutUs(variable + kBrowserLength, own_name, filtered);
      if (filtered[0] == '\0') {
        continue;
      }
      variable = filtered;
      filtered += std::strlen(filtered) + 1;
    }
    envp[n++] = variable;
  }
  if (extra != nullptr) {
    envp[n++] = const_cast<char *>(extra);
  }
  envp[n] = nullptr;
  return envp;
}

void ForwardMark(const char *link, char *out) {
  char value[kForwardMarkValueSize];
  ForwardMarkValue(link, value);
  std::snprintf(out, kForwardMarkSize, "%s=%s", kForwardMarkName, value);
}

bool CameBack(const char *link) {
  char value[kForwardMarkValueSize];
  ForwardMarkValue(link, value);
  const char *carried = std::getenv(kForwardMarkName);
  return carried != nullptr && std::strcmp(carried, value) == 0;
}
