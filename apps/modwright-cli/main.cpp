// modwright-cli: the tool's operations for scripts and CI.
#include "app/CModwrightApp.h"
#include "app/CommandLineTool.h"
#include "app/ConsolePrompt.h"
#include "app/StandardOutputCheck.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    mw::ConsolePrompt prompt(std::cerr);
    mw::AppEnvironment environment = mw::ProcessEnvironment(std::cout, prompt);
    int status = mw::RunCommandLineTool(arguments, environment, std::cerr);
    // Output that never arrived (a full disk, /dev/full) is a failure, as for ls or git.
    std::string reason;
    if (mw::StandardOutputFailed(std::cout, reason))
    {
        std::cerr << "modwright-cli: error writing to standard output: " << reason << std::endl;
        return status == 0 ? 1 : status;
    }
    return status;
}
