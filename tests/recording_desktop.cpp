// Recording fake of the desktop requests, for tests of the run sequence.
#include "recording_desktop.h"

#include <utility>

#include "desktop.h"

namespace {
std::vector<std::string> recorded;
}

std::vector<std::string> TakeRecordedRequests() {
  return std::exchange(recorded, {});
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
