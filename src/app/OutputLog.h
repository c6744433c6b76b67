// The main window's log: messages from any thread are queued under a mutex in
// the order they arrive and taken out by the window's thread, which alone
// touches the output pane. Also carries the clear-pending mark, so that the
// message after an operation's end clears the pane first.
#pragma once

#include "IFrameHost.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace mw {

struct OutputEvent
{
    enum class Kind
    {
        Clear,
        Line,
    };
    Kind kind;
    std::string text; // Line: one line, not yet fitted to the pane
    bool error = false;
};

class OutputLog final : public IFrameHost
{
public:
    // Called (on the logging thread) when the queue goes from empty to
    // holding something, so the window can schedule a flush on its thread.
    void SetNotify(std::function<void()> notify);

    // SourceControlLog: cut at line feeds, one line per piece; the line flag
    // plays no part here.
    void Log(const std::string& text, bool line, bool error) override;
    void ClearOutput() override;
    void SetClearPending() override;
    bool IsClearPending() const;
    // Keeps the pane's lines for an operation that continues another one.
    void CancelClearPending();

    // Everything queued since the last call, in order.
    std::vector<OutputEvent> TakeEvents();

private:
    mutable std::mutex m_mutex;
    std::vector<OutputEvent> m_events;
    bool m_clearPending = false;
    std::function<void()> m_notify;
};

} // namespace mw
