// A desktop that records the requests a run makes instead of carrying them out.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct DesktopRequest {
  std::string kind;     // "notice", "open" or "refuse"
  std::string text;     // the notice text, or the link
  std::string caption;  // the notice caption; empty otherwise

  bool operator==(const DesktopRequest &other) const {
    return kind == other.kind && text == other.text && caption == other.caption;
  }
};

void PrintTo(const DesktopRequest &request, std::ostream *out);

// Requests made since the last call, which also forgets them.
std::vector<DesktopRequest> TakeRecordedRequests();
