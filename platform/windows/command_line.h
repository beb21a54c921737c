// Cutting the program name off a Windows command line.
#pragma once

// Where the command-line tail begins: after the program name, the quote that may close it,
// and the blanks and tabs that follow. The tail runs unchanged to the end of the text.
char *ExtractCommandLineTail(char *command_line) noexcept;
