// Deleting the old build statistics files.
#include "BuildStatistics.h"

#include "Asset.h"
#include "AssetRegistry.h"
#include "context/IToolContext.h"
#include "platform/FileSystem.h"

namespace mw {

void DeleteStatisticsFiles(const IToolContext& context, const AssetRegistry& registry)
{
    if (context.GetExportStatistics() == 0)
        return;
    for (int i = 0; i < registry.TypeCount(); ++i)
    {
        const std::string& file = registry.TypeAt(i)->GetStatisticsFile();
        if (!file.empty())
            RemoveFile(context.GetStatisticsDir() + file);
    }
}

} // namespace mw
