// What the application needs of a main window: its output log and the two
// marks of the operation frame. Null in quiet mode.
#pragma once

#include "platform/sourcecontrol/SourceControlLog.h"

namespace mw {

class IFrameHost : public SourceControlLog
{
public:
    // Clears the output pane and the clear-pending mark.
    virtual void ClearOutput() = 0;
    // The next message clears the pane first.
    virtual void SetClearPending() = 0;

protected:
    ~IFrameHost() = default;
};

} // namespace mw
