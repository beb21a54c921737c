// A desktop that records the requests a run makes instead of carrying them out, each as one
// string: "notice TEXT | CAPTION", "open LINK" or "refuse TEXT". Its shell reads code page 932.
#pragma once

#include <string>
#include <vector>

// Requests made since the last call, which also forgets them.
std::vector<std::string> TakeRecordedRequests();

// What the shell answers when asked whether it reads a link as written; true until set.
void SetShellReadsAsWritten(bool answer);
