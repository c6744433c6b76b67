// Benchmark helpers.
#include "BenchSupport.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/FileSystem.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <stdexcept>

namespace mw::bench {

void SettleWriteback()
{
#ifndef _WIN32
    ::sync();
#endif
}

std::string MakeBenchFolder(const char* name)
{
    // $TMPDIR, else the Windows temporary folder, else /tmp; a name no
    // folder there has yet, made here (creating fails for an existing one).
    std::string base;
    for (const char* variable : {"TMPDIR", "TEMP", "TMP"})
        if (const char* value = std::getenv(variable); value && *value && base.empty())
            base = value;
    if (base.empty())
        base = "/tmp";
    std::random_device seed;
    std::mt19937_64 random(uint64_t(seed()) ^ uint64_t(std::time(nullptr)));
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        std::string folder = base + "/" + name + "." + std::to_string(random() % 1000000000u);
        if (!PathExists(folder) && CreateFolder(folder))
            return folder + "/";
    }
    throw std::runtime_error("no benchmark folder could be made below " + base);
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
