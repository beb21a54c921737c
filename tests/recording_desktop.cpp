// Recording fake of the desktop requests, for tests of the run sequence.
#include "recording_desktop.h"

#include <gtest/gtest.h>

#include "desktop.h"

namespace {
std::vector<DesktopRequest> recorded;
}

void PrintTo(const DesktopRequest &request, std::ostream *out) {
  *out << request.kind << "(" << testing::PrintToString(request.text);
  if (request.kind == "notice") {
    *out << ", " << testing::PrintToString(request.caption);
  }
  *out << ")";
}

std::vector<DesktopRequest> TakeRecordedRequests() {
  std::vector<DesktopRequest> taken;
  taken.swap(recorded);
  return taken;
}

void ShowNotice(const char *text, const char *caption) noexcept {
  recorded.push_back({"notice", text, caption});
}

void OpenLink(const char *link) noexcept {
  recorded.push_back({"open", link, ""});
}

void RefuseLink(const char *text) noexcept {
  recorded.push_back({"refuse", text, ""});
}
