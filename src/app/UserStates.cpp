// User-state pairs of the server monitor.
#include "UserStates.h"

#include "OutputLineRules.h"

namespace mw {

std::vector<std::pair<std::string, std::string>> UserStatePairs(const std::string& state)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    std::vector<std::string> lines = SplitLogText(state);
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        pairs.emplace_back(lines[i], lines[i + 1]);
    return pairs;
}

} // namespace mw
