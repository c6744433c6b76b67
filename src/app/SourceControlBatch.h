// Check Out, Check In and Revert over a list of files: the confirmation
// above five files and the loop the worker runs.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mw {

class IUserPrompt;
class IWorkspaceContext;

enum class BatchAction
{
    CheckOut,
    CheckIn,
    Revert,
};

// "Check Out", "Check In" or "Revert": the operation name and the question's caption.
const char* BatchOperationName(BatchAction action);

// More than five paths ask first (Yes/No); false when the answer is No.
bool ConfirmBatch(IUserPrompt& prompt, BatchAction action, size_t count);

// Handles the paths (relative to the working folder) in order and stops at
// the first one for which the cancel event is set; progress is told the
// number of paths done and the total after each. A check-in commits with
// message (empty: source control's own). The number of paths that failed.
int RunBatch(IWorkspaceContext& context, BatchAction action, const std::vector<std::string>& paths,
             const std::function<void(size_t done, size_t total)>& progress,
             const std::string& message = std::string());

} // namespace mw
