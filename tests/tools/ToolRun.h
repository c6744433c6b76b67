// Runs the programs in tools/ from one command-line text, the way the tool
// starts them, and captures what they print.
#pragma once

#include <string>

namespace mw::test {

struct ToolResult
{
    bool started = false;
    int exitCode = -1; // the exit status (ArcPack's -1 is 255)
    std::string out;
    std::string err;
    bool timedOut = false; // ended by RunLimitedToolCommand's time limit
};

// The folder the programs are built into, with a trailing '/'.
std::string ToolsFolder();
// Runs commandLine with current folder folder (empty: this process's own).
ToolResult RunToolCommand(const std::string& commandLine, const std::string& folder = std::string());
// The same with the program's address space limited to memoryMiB (on Linux,
// through the shell's ulimit; not in sanitizer builds, whose shadow memory
// needs more) and ended after seconds of wall-clock time.
ToolResult RunLimitedToolCommand(const std::string& commandLine, const std::string& folder, size_t memoryMiB,
                                 int seconds);

} // namespace mw::test
