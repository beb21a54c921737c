// Recording fake of the desktop requests, for tests of the run sequence, with a shell that
// reads code page 932.
#include "recording_desktop.h"

#include <utility>

#include "desktop.h"

namespace {
std::vector<std::string> recorded;
bool reads_as_written = true;

bool Within(char c, unsigned low, unsigned high) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= low && byte <= high;
}
}  // namespace

std::vector<std::string> TakeRecordedRequests() {
  return std::exchange(recorded, {});
}

void SetShellReadsAsWritten(bool answer) {
  reads_as_written = answer;
}

void ShowNotice(const char *text, const char *caption) noexcept {
  recorded.push_back(std::string("notice ") + text + " | " + caption);
}

void OpenLink(const char *link) noexcept {
  recorded.push_back(std::string("open ") + link);
}

void RefuseLink(const char *text) noexcept {
  recorded.push_back(std::string("refuse ") + text);
}

// Shift-JIS: a lead byte in 81-9F or E0-FC, then a trail byte in 40-7E or 80-FC.
std::size_t CharacterLength(const char *text) noexcept {
  const bool lead = Within(text[0], 0x81, 0x9F) || Within(text[0], 0xE0, 0xFC);
  const bool trail = Within(text[1], 0x40, 0x7E) || Within(text[1], 0x80, 0xFC);
  return lead && trail ? 2 : 1;
}

bool ShellReadsAsWritten(const char *) noexcept {
  return reads_as_written;
}
