// Benchmark helpers.
#include "BenchSupport.h"

#include <cstdlib>
#include <stdexcept>

namespace mw::bench {

std::string MakeBenchFolder(const char* name)
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + name + ".XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    return pattern + "/";
}

} // namespace mw::bench
