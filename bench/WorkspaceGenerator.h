// Writes a synthetic working folder for benchmarks: templates with a chain
// of includes and many records of about 2 KB each, spread over folders.
#pragma once

#include <string>
#include <vector>

namespace mw::bench {

struct GeneratedWorkspace
{
    std::string workingDir; // ends in '/'
    std::string buildDir;   // ends in '/'
    std::vector<std::string> recordPaths;
};

// Creates root + "Working/" and root + "Build/"; deterministic for a seed.
GeneratedWorkspace GenerateWorkspace(const std::string& root, int recordCount, unsigned seed = 1);

} // namespace mw::bench
