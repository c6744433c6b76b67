// The advanced folder dialog: runs Check Out, Check In or Revert over the
// files of a chosen folder that match a mask, and adds the files that source
// control does not know yet.
#pragma once

#include "app/SourceControlBatch.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace mw {

class CModwrightApp;

class CAdvancedActionDlg : public QDialog
{
    Q_OBJECT
public:
    CAdvancedActionDlg(CModwrightApp& app, const std::string& startFolder, QWidget* parent = nullptr);

    // After Run: the action chosen and the files it applies to.
    BatchAction Action() const;
    const std::vector<std::string>& ChosenFiles() const { return m_chosen; }

private:
    void AddFolders(QTreeWidgetItem* parent, const std::string& folder, int depth);
    std::string CurrentFolder() const;
    void FillUnversioned();
    void AddSelected();
    void Run();

    CModwrightApp& m_app;
    QComboBox* m_action;
    QLineEdit* m_mask;
    QTreeWidget* m_folders;
    QListWidget* m_unversioned;
    std::vector<std::string> m_chosen;
};

} // namespace mw
