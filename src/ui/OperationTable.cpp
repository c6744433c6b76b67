// The operations of this build. Each entry that is still empty leaves its
// commands disabled.
#include "OperationTable.h"

namespace mw {

OperationTable AvailableOperations()
{
    OperationTable operations;
    // Build pipeline (Build Assets, archives, unassociated files), the asset
    // review header and the Database Editor are wired here as they land.
    return operations;
}

} // namespace mw
