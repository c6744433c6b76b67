// The Modwright tool. With -quiet it syncs and builds once without a window.
#include "app/CModwrightApp.h"
#include "app/ConsolePrompt.h"

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    mw::ConsolePrompt prompt(std::cout);
    mw::AppEnvironment environment = mw::ProcessEnvironment(std::cout, prompt);

    mw::CModwrightApp app(environment);
    if (!app.InitInstance(arguments))
    {
        app.ExitInstance();
        return 1;
    }
    int status = 0;
    if (app.IsQuiet())
        status = app.RunQuiet();
    else
    {
        std::cerr << "This build of Modwright has no windows; run it with -quiet to sync and build." << std::endl;
        status = 2;
    }
    app.ExitInstance();
    return status;
}
