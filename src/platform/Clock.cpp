// Millisecond ticks on the monotonic clock.
#include "Clock.h"

#include <chrono>
#include <thread>

namespace mw {

uint64_t TickCountMs()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMs(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

} // namespace mw
