// Output pane line rules.
#include "OutputLineRules.h"

#include <algorithm>

namespace mw {

std::vector<std::string> SplitLogText(const std::string& text)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < text.size())
    {
        size_t feed = text.find('\n', start);
        if (feed == std::string::npos)
        {
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, feed - start));
        start = feed + 1;
    }
    return pieces;
}

std::string FitOutputLine(const std::string& text)
{
    std::string line = text;
    if (line.size() > kMaxOutputLineLength)
    {
        size_t excess = line.size() - kMaxOutputLineLength;
        std::string tail = " ... " + line.substr(line.size() - std::min<size_t>(excess, 20));
        line = line.substr(0, kMaxOutputLineLength - tail.size()) + tail;
    }
    const char* blanks = " \t\r\n\v\f";
    size_t first = line.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    size_t last = line.find_last_not_of(blanks);
    return line.substr(first, last - first + 1);
}

std::string CopiedLinesText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\t\n";
    return text;
}

} // namespace mw
