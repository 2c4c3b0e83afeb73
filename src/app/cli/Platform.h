#pragma once
// What the command-line tool asks of the operating system.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// UTF-8 console output, the user's locale for number formats; output into a pipe that its reader
// has closed fails as a write error, instead of ending the tool unseen.
void prepareConsole();
bool isTerminal(std::FILE* stream);
// Standard output that is not a console (a file, a pipe, the NUL device) is written in 64 KiB
// blocks, not line by line; a console still sees each line as it comes. Before the first output.
void bufferStdoutUnlessConsole();
// Writes a line and its line feed with one lock of the stream, not one for each; false once the
// stream has failed (a closed pipe, a full disk).
bool writeLine(std::FILE* stream, std::string_view line);
// The user's digit-grouping separator ("." in a German locale; empty when the locale has none).
std::string groupSeparator();
// Waits until stream has input to read (true), or until stop answers true (false).
bool waitForInput(std::FILE* stream, bool (*stop)());
// After a read ended without a line: whether stop answers true, given the moment the system may
// take to tell Ctrl+C after ending the read.
bool stopFollows(bool (*stop)());

}  // namespace cli
