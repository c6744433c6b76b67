// The queued log of the main window.
#include "OutputLog.h"

#include "OutputLineRules.h"

namespace mw {

void OutputLog::SetNotify(std::function<void()> notify)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_notify = std::move(notify);
}

void OutputLog::Log(const std::string& text, bool, bool error)
{
    std::function<void()> notify;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        size_t before = m_events.size();
        if (m_clearPending)
        {
            m_clearPending = false;
            m_events.push_back(OutputEvent{OutputEvent::Kind::Clear, std::string(), false});
        }
        for (std::string& piece : SplitLogText(text))
            m_events.push_back(OutputEvent{OutputEvent::Kind::Line, std::move(piece), error});
        if (before == 0 && m_events.size() > 0)
            notify = m_notify;
    }
    if (notify)
        notify();
}

void OutputLog::ClearOutput()
{
    std::function<void()> notify;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_clearPending = false;
        // Lines still queued would be cleared at once: drop them.
        m_events.clear();
        m_events.push_back(OutputEvent{OutputEvent::Kind::Clear, std::string(), false});
        notify = m_notify;
    }
    if (notify)
        notify();
}

void OutputLog::SetClearPending()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clearPending = true;
}

bool OutputLog::IsClearPending() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clearPending;
}

void OutputLog::CancelClearPending()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clearPending = false;
}

std::vector<OutputEvent> OutputLog::TakeEvents()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<OutputEvent> events;
    events.swap(m_events);
    return events;
}

} // namespace mw
