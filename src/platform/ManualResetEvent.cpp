// The manual-reset event.
#include "ManualResetEvent.h"

#include <chrono>

namespace mw {

void ManualResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_set = true;
    }
    m_changed.notify_all();
}

bool ManualResetEvent::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_set = false;
    return true;
}

bool ManualResetEvent::IsSet() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_set;
}

bool ManualResetEvent::Wait(unsigned timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_set; });
}

} // namespace mw
