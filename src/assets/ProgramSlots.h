// At most so many programs at once among the jobs of one build: a build runs
// more jobs than compilers, so that a job's own work (a copy, planning the
// next asset) goes on while the compilers run, but never more compilers than
// it was asked for.
#pragma once

#include <condition_variable>
#include <mutex>

namespace mw {

class ProgramSlots
{
public:
    explicit ProgramSlots(int count) : m_free(count) {}
    ProgramSlots(const ProgramSlots&) = delete;
    ProgramSlots& operator=(const ProgramSlots&) = delete;

    // One slot, held while it lives; none when slots is null.
    class Held
    {
    public:
        explicit Held(ProgramSlots* slots) : m_slots(slots)
        {
            if (m_slots)
                m_slots->Acquire();
        }
        ~Held()
        {
            if (m_slots)
                m_slots->Release();
        }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

    private:
        ProgramSlots* m_slots;
    };

private:
    void Acquire()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_freed.wait(lock, [this] { return m_free > 0; });
        --m_free;
    }
    void Release()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_free;
        }
        m_freed.notify_one();
    }

    std::mutex m_mutex;
    std::condition_variable m_freed;
    int m_free;
};

} // namespace mw
