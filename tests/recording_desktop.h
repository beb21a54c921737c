// A desktop that records the requests a run makes instead of carrying them out, each as one
// string: "notice TEXT | CAPTION", "open LINK" or "refuse TEXT".
#pragma once

#include <string>
#include <vector>

// Requests made since the last call, which also forgets them.
std::vector<std::string> TakeRecordedRequests();
