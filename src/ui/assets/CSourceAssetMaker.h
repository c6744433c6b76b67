// The source list's flavour: "Make Asset Automatically" makes asset files
// for the selected source files, with the asset list's dialogs.
#pragma once

#include "IFileListFlavour.h"

#include <functional>

namespace mw {

class CModwrightApp;
class IAssetCommandUi;

class CSourceAssetMaker final : public IFileListFlavour
{
public:
    // assetsCreated runs after at least one asset file was made.
    CSourceAssetMaker(CModwrightApp& app, IAssetCommandUi& ui, std::function<void()> assetsCreated)
        : m_app(app), m_ui(ui), m_assetsCreated(std::move(assetsCreated))
    {
    }

    void SetUpList(QTreeWidget&) override {}
    void DecorateItem(QTreeWidgetItem&, const std::string&) override {}
    void AddMenuItems(QMenu&, const std::vector<std::string>&) override {}
    bool HandlesCommand(int id) const override;
    bool Command(int id, const std::string& folder, const std::vector<std::string>& selected) override;
    bool Open(const std::string&) override { return false; }

private:
    CModwrightApp& m_app;
    IAssetCommandUi& m_ui;
    std::function<void()> m_assetsCreated;
};

} // namespace mw
