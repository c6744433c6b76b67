// The check-out rule shared by the database tools and the GUI: who holds the
// file decides whether it may be changed.
#pragma once

#include <string>

namespace mw {

class IWorkspaceContext;

enum class CheckOutResult
{
    Failed = 0,          // the check-out failed (logged)
    OtherUser = 1,       // another user holds it (logged)
    AlreadyHeld = 2,     // this user held it already
    CheckedOut = 3,      // this call checked it out: check it in when done
};

// path is relative to the working folder.
CheckOutResult ApplyCheckOutRule(IWorkspaceContext& context, const std::string& path);

} // namespace mw
