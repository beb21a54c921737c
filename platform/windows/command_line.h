// Cutting the program name off a Windows command line, and the options at the tail's start.
#pragma once

// Where the command-line tail begins: after the program name, the quote that may close it,
// and the blanks and tabs that follow. The tail runs unchanged to the end of the text.
char *ExtractCommandLineTail(char *command_line) noexcept;

// What a tail asks for: a run on the link, as always; a run standing in for the browser
// whose class (ProgID) is forward_to; or setting that up, or undoing it.
enum class Command { kRun, kForward, kSetDefault, kUnsetDefault };
struct Request {
  Command command;
  char *link;
  char *forward_to;
};

// Reads the tail: "--set-default" or "--unset-default" and blanks alone, or "--forward-to",
// blanks, a ProgID (letters, digits, '.', '_', '+' and '-', fewer than 256), and blanks or
// nothing before the link, which the ProgID is cut off from. Anything else is a run on the
// whole tail, exactly as without options: no link starts with '-'.
Request ReadRequest(char *tail) noexcept;
