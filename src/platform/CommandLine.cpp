// Splitting command lines into arguments.
#include "CommandLine.h"

namespace mw {

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> arguments;
    size_t i = 0;
    const size_t n = commandLine.size();
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    for (;;)
    {
        while (i < n && isBlank(commandLine[i]))
            ++i;
        if (i >= n)
            return arguments;
        std::string argument;
        bool quoted = false;
        while (i < n && (quoted || !isBlank(commandLine[i])))
        {
            char c = commandLine[i];
            if (c == '\\')
            {
                size_t slashes = 0;
                while (i < n && commandLine[i] == '\\')
                    ++slashes, ++i;
                if (i < n && commandLine[i] == '"')
                {
                    argument.append(slashes / 2, '\\');
                    if (slashes % 2 == 1)
                    {
                        argument += '"';
                        ++i;
                    }
                }
                else
                    argument.append(slashes, '\\');
                continue;
            }
            if (c == '"')
            {
                // Inside quotes, "" is a literal quote.
                if (quoted && i + 1 < n && commandLine[i + 1] == '"')
                {
                    argument += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            argument += c;
            ++i;
        }
        arguments.push_back(argument);
    }
}

} // namespace mw
