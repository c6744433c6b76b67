// Runs a program and captures what it prints.
#pragma once

#include <string>
#include <vector>

namespace mw::test {

struct RunResult
{
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs program with arguments in folder, with the environment plus extra
// "NAME=value" entries; standard input is empty.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
              const std::vector<std::string>& extraEnvironment = {});

// Copies the examples folder to target (a fresh folder) and writes a
// Tools.ini there whose folders point into the copy; its path.
std::string CopyExampleWorkspace(const std::string& target);

} // namespace mw::test
