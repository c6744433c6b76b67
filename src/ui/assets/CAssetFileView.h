// The asset flavour of a tab's file list: the "Status" column with its
// highlight, the New submenu with one item per asset type, Status (network
// mode) and Build, and asset properties on open.
#pragma once

#include "CAssetPropertiesEditor.h"
#include "IFileListFlavour.h"
#include "assets/IAssetCommandUi.h"

#include <functional>
#include <string>

class QWidget;

namespace mw {

class CModwrightApp;

class CAssetFileView final : public IFileListFlavour, public IAssetCommandUi
{
public:
    // Command numbers of the asset list.
    static constexpr int kBuildCommand = 1000;
    static constexpr int kStatusCommand = 1001;
    static constexpr int kNewAssetFirst = 1002; // + the type's position
    static constexpr int kStatusColumn = 2;

    // Starts a body on the worker thread under an operation name; false
    // when refused (another operation runs).
    using StartWorker = std::function<bool(const std::string& operationName, std::function<void()> body)>;

    CAssetFileView(CModwrightApp& app, QWidget* dialogParent, StartWorker startWorker);

    // IFileListFlavour.
    void SetUpList(QTreeWidget& list) override;
    void DecorateItem(QTreeWidgetItem& item, const std::string& relativePath) override;
    void AddMenuItems(QMenu& menu, const std::vector<std::string>& selected) override;
    bool HandlesCommand(int id) const override;
    bool Command(int id, const std::string& folder, const std::vector<std::string>& selected) override;
    bool Open(const std::string& relativePath) override;

    // IAssetCommandUi.
    IAssetPropertiesEditor& PropertiesEditor() override;
    bool EditStatus(AssetHeader& header, bool readOnly, bool privileged) override;
    int ChooseAssetType(const std::vector<std::string>& typeNames) override;

private:
    CModwrightApp& m_app;
    QWidget* m_dialogParent;
    StartWorker m_startWorker;
    CAssetPropertiesEditor m_editor;
};

} // namespace mw
