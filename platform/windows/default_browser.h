// Registering link-unwrapper as a browser that forwards every web link to the one the user
// had, per user, as Windows' Default Programs documents it; and, under Wine, where there is no
// user's choice, making it the handler of http and https links. And undoing both.
#pragma once

// Each says what it did, or why it could not, in a message box, and returns the exit status:
// 0, or 1 when it could not.
int SetDefaultBrowser() noexcept;
int UnsetDefaultBrowser() noexcept;
