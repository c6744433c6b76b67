// The File Summary dialog.
#include "CFileSummaryDialog.h"

#include "CFileView.h"
#include "IFileViewHost.h"
#include "app/CModwrightApp.h"
#include "app/CommandTable.h"
#include "app/FileCommands.h"

#include <QAction>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mw {

CFileSummaryDialog::CFileSummaryDialog(IFileViewHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_view(new CFileView(TabKind::Summary, host))
{
    setWindowTitle(QStringLiteral("File Summary"));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (host.App().IsNetwork())
    {
        BuildToolBar();
        layout->addWidget(m_toolBar);
    }
    layout->addWidget(m_view, 1);
    m_view->Refresh();
    UpdateToolBarStates();
    resize(500, 300);
}

void CFileSummaryDialog::BuildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    using namespace CommandId;
    for (int id : {kFileRedoSync, kFileCheckOut, kFileCheckIn, kFileUndoCheckOut, 0, kDelete, kFileProperties})
    {
        if (id == 0)
        {
            m_toolBar->addSeparator();
            continue;
        }
        const CommandInfo* info = FindCommand(id);
        QString text = QString::fromLatin1(info ? info->menuText : "").section(QLatin1Char('\t'), 0, 0);
        QAction* action = m_toolBar->addAction(text);
        connect(action, &QAction::triggered, this, [this, id] {
            m_view->FileCommand(id);
            UpdateToolBarStates();
        });
        m_actions[id] = action;
    }
    connect(m_view->FileList(), &QTreeWidget::itemSelectionChanged, this, [this] { UpdateToolBarStates(); });
}

void CFileSummaryDialog::UpdateToolBarStates()
{
    if (!m_toolBar)
        return;
    CommandState state{m_host.IsBusy(), true, true};
    std::vector<std::string> selected = m_view->SelectedPaths();
    bool mine = AnyHeldByUser(m_host.App().SourceControl(), selected);
    for (auto& [id, action] : m_actions)
    {
        bool enabled = IsCommandEnabled(id, state) && !selected.empty();
        if (id == CommandId::kFileCheckIn || id == CommandId::kFileUndoCheckOut)
            enabled = enabled && mine;
        action->setEnabled(enabled);
    }
}

} // namespace mw
