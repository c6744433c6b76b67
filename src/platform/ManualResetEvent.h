// A manual-reset event: once set it stays set until reset. The cancel event
// shared by the user-interface thread and the worker.
#pragma once

#include <condition_variable>
#include <mutex>

namespace mw {

class ManualResetEvent
{
public:
    explicit ManualResetEvent(bool initiallySet = false) : m_set(initiallySet) {}

    void Set();
    bool Reset();
    // A zero-time wait: true when the event is set.
    bool IsSet() const;
    // Waits up to timeoutMs milliseconds; true when the event was set.
    bool Wait(unsigned timeoutMs) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_set;
};

} // namespace mw
