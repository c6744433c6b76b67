// The File Summary dialog.
#include "CFileSummaryDialog.h"

#include "StatusImages.h"
#include "app/FileCommands.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mw {

CFileSummaryDialog::CFileSummaryDialog(SourceControlClient& sourceControl, QWidget* parent)
    : QDialog(parent), m_list(new QTreeWidget)
{
    setWindowTitle(QStringLiteral("File Summary"));
    setSizeGripEnabled(true);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("User")});
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    std::vector<std::string> names;
    sourceControl.GetFiles("", names, 0, false, std::string());
    for (const std::string& name : names)
    {
        FileRowStatus status = ReadFileRowStatus(sourceControl, name);
        auto* item = new QTreeWidgetItem(m_list, {QString::fromUtf8(name), QString::fromUtf8(status.holder)});
        item->setIcon(0, FileStatusIcon(status.image, status.stateMark, status.conflicted));
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    resize(500, 300);
}

} // namespace mw
