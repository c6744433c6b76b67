// Small helpers shared by the benchmark drivers.
#pragma once

#include <chrono>
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

} // namespace mw::bench
