// The server monitor's list of users: the user-state text of source control
// cut at line feeds and taken in pairs of a user name and its state.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace mw {

std::vector<std::pair<std::string, std::string>> UserStatePairs(const std::string& state);

} // namespace mw
