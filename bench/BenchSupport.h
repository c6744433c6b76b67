// Small helpers shared by the benchmark drivers.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace mw::bench {

class Stopwatch
{
public:
    Stopwatch() : m_start(std::chrono::steady_clock::now()) {}
    double Seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start;
};

// A fresh folder under $TMPDIR (or /tmp), ending in '/'.
std::string MakeBenchFolder(const char* name);
// Waits until the file system has written out what earlier phases wrote: a
// phase timed during that writeback measures the disk, not the work.
void SettleWriteback();

// The processor time of the whole process (every thread), in seconds.
double ProcessCpuSeconds();
// The processor time of the calling thread alone, in seconds.
double ThreadCpuSeconds();

// The peak resident memory of the process since the last reset, in bytes
// (0 where the system does not tell); a reset starts it at the current size.
void ResetPeakMemory();
uint64_t PeakMemoryBytes();
uint64_t CurrentMemoryBytes();

} // namespace mw::bench
