// Command lines given as one text, split into arguments by the quoting rules
// of the platform the tool's command lines come from: white space separates
// arguments; double quotes group; 2n backslashes before a quote give n
// backslashes and the quote groups, 2n+1 give n backslashes and a literal
// quote; backslashes elsewhere are literal.
#pragma once

#include <string>
#include <vector>

namespace mw {

std::vector<std::string> SplitCommandLine(const std::string& commandLine);

} // namespace mw
