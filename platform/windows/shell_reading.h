// How the Windows shell reads a link: its strings, the fixed buffers of Wine's shell, and
// Wine's search for the link as a file.
#pragma once

// Opening by class, Wine's shell reads the class's "open" command into 256 characters, NUL
// included, and opens nothing when it is longer (execute_from_key's cmd).
constexpr int kWineHandlerCommand = 256;

// The "open" command Wine sets up for http and https, also when the registry does not say.
constexpr wchar_t kWineBrowserCommand[] = L"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"";

// Whether this is Wine, whose shell differs from Windows's in the ways below.
bool RunsUnderWine() noexcept;

// The class whose "open" command opens this web link: "http" or "https", by its scheme.
const char *SchemeClass(const char *link) noexcept;

// Whether the shell holds the link whole on its way to the "open" command of class_name:
// within the 32,767 characters of the shell's strings and, under Wine, within the fixed
// buffers in which its shell reads that command and puts the link into it.
bool FitsTheShellsBuffers(const char *link, const char *class_name, bool under_wine) noexcept;

// Whether Wine's shell, which looks the link up as a file before it puts it into the
// command, would find one by that name: then the command would get the file instead.
bool NamesAFile(const char *link) noexcept;

// Whether the shell, which may replace %NAME% in the text it opens by the variable's value,
// would leave the link as it is. The link must fit the shell's strings.
bool ExpandsToItself(const char *link) noexcept;
