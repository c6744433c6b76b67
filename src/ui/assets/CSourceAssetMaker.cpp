// Assets made from selected source files.
#include "CSourceAssetMaker.h"

#include "app/CModwrightApp.h"
#include "app/CommandTable.h"
#include "assets/AssetCommands.h"

namespace mw {

bool CSourceAssetMaker::HandlesCommand(int id) const { return id == CommandId::kMakeAsset; }

bool CSourceAssetMaker::Command(int id, const std::string&, const std::vector<std::string>& selected)
{
    if (id != CommandId::kMakeAsset || selected.empty())
        return false;
    if (!CreateAssetsFromSources(m_app, m_app.Assets(), m_ui, selected).empty() && m_assetsCreated)
        m_assetsCreated();
    return false;
}

} // namespace mw
