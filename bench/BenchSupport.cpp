// Benchmark helpers.
#include "BenchSupport.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
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

double ProcessCpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

double ThreadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

namespace {

// A "Name:   1234 kB" line of the kernel's status file of this process.
uint64_t StatusKilobytes(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key)
    {
        if (key == name + ":")
        {
            uint64_t value = 0;
            status >> value;
            return value * 1024;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

} // namespace

// Writing 5 to clear_refs resets the kernel's peak resident size (VmHWM).
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }
uint64_t PeakMemoryBytes() { return StatusKilobytes("VmHWM"); }
uint64_t CurrentMemoryBytes() { return StatusKilobytes("VmRSS"); }

} // namespace mw::bench
