// The process command line in the ANSI code page, with every character the caller sent.
#pragma once

// The command line as GetCommandLineA gives it wherever every character fits the ANSI code
// page; a character that does not fit is written as the percent-escapes of its UTF-8 bytes,
// and a lone surrogate as DEL, which no link may hold. The text lives as long as the process.
char *AnsiCommandLine() noexcept;
