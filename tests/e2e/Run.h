// Runs a program and captures what it prints.
#pragma once

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mw::test {

struct RunResult
{
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs program with arguments in folder, with the environment changed by
// extra entries ("NAME=value" sets, a bare "NAME" removes; the latter on
// Linux only); standard input is empty.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
              const std::vector<std::string>& extraEnvironment = {});

// Copies the examples folder to target (a fresh folder) and writes a
// Tools.ini there whose folders point into the copy; its path.
std::string CopyExampleWorkspace(const std::string& target);

// A temporary copy of the sample workspace and modwright-cli run on it.
class SampleWorkspaceTest : public ::testing::Test
{
protected:
    SampleWorkspaceTest();

    // modwright-cli with -ini of the copy in front of the arguments.
    RunResult Cli(std::vector<std::string> arguments);
    // A file of the copy's working folder.
    std::string Read(const std::string& relative) const;
    std::string Archive() const { return temp / "Build/database/database.arz"; }

    TempFolder temp;
    std::string ini;
};

} // namespace mw::test
