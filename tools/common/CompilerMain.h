// How a compiler in tools/ starts: once for the command line it was given,
// or, started by the tool as a worker, once for each command line the tool
// sends it, so that a Build of many assets starts it once instead of once
// per asset.
#pragma once

#include <string>
#include <vector>

namespace mw::tools {

// A compile: the arguments after the program's name in, the exit code out.
// It must leave nothing behind that the next compile could see.
using CompileFunction = int (*)(const std::vector<std::string>& args);

// The body of a compiler's main.
int CompilerMain(int argc, char** argv, CompileFunction compile);

} // namespace mw::tools
