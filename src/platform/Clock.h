// Millisecond ticks for elapsed-time lines, and sleeping.
#pragma once

#include <cstdint>

namespace mw {

// Milliseconds since an arbitrary fixed point; never goes backwards.
uint64_t TickCountMs();
void SleepMs(unsigned milliseconds);

} // namespace mw
