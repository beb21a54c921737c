// What the program tells its user in a message box: Japanese, as the notice is, with English
// beneath, through MessageBoxW, so that it reads right in every code page.
#pragma once

// Why a link that we stand in the browser's place for was not opened.
enum class Loss { kNoCommand, kLoop, kCameBack, kNotOpened };

// Says that the link was lost, and why; prog_id is the class it was to be opened with.
void SayLost(Loss why, const char *link, const char *prog_id) noexcept;

// What setting up or undoing the default browser did, or why it could not.
enum class Setup {
  kRegistered,           // detail: the ProgID links go on to
  kRegisteredUnderWine,  //
  kUnregistered,         //
  kUnregisteredUnderWine,
  kNothingToUndo,
  kNoBrowser,
  kPathTooLong,
  kRegistryFailed,  // detail: the key
};

void SaySetup(Setup what, const wchar_t *detail = L"") noexcept;
