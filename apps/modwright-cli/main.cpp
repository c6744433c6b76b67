// modwright-cli: the tool's operations for scripts and CI.
#include "app/CModwrightApp.h"
#include "app/CommandLineTool.h"
#include "app/ConsolePrompt.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    mw::ConsolePrompt prompt(std::cerr);
    mw::AppEnvironment environment = mw::ProcessEnvironment(std::cout, prompt);
    return mw::RunCommandLineTool(arguments, environment, std::cerr);
}
