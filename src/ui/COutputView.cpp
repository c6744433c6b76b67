// The output pane.
#include "COutputView.h"

#include "app/OutputLineRules.h"
#include "app/OutputLog.h"
#include "context/IUserPrompt.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>

namespace mw {
namespace {

constexpr int kFullTextRole = Qt::UserRole;

} // namespace

COutputView::COutputView(IUserPrompt& prompt, QWidget* parent) : QListWidget(parent), m_prompt(prompt)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item && m_lineOpener)
            m_lineOpener(item->data(kFullTextRole).toString().toStdString());
    });
}

void COutputView::AddLine(const std::string& text, bool error)
{
    QScrollBar* bar = verticalScrollBar();
    bool atBottom = bar->maximum() - bar->value() < 2;
    auto* item = new QListWidgetItem(QString::fromUtf8(FitOutputLine(text)));
    // A line cut to fit the pane still opens the file named at its end.
    item->setData(kFullTextRole, QString::fromUtf8(text));
    if (error)
        item->setForeground(QColor(255, 0, 0));
    addItem(item);
    if (atBottom)
        scrollToItem(item);
}

void COutputView::Clear() { clear(); }

void COutputView::Flush(OutputLog& log)
{
    std::vector<OutputEvent> events = log.TakeEvents();
    if (events.empty())
        return;
    setUpdatesEnabled(false);
    for (const OutputEvent& event : events)
    {
        if (event.kind == OutputEvent::Kind::Clear)
            Clear();
        else
            AddLine(event.text, event.error);
    }
    setUpdatesEnabled(true);
}

void COutputView::CopySelection()
{
    QList<QListWidgetItem*> selected = selectedItems();
    if (selected.isEmpty())
    {
        m_prompt.Show("No items were selected!", "", PromptButtons::Ok, PromptIcon::None);
        return;
    }
    std::sort(selected.begin(), selected.end(),
              [this](QListWidgetItem* a, QListWidgetItem* b) { return row(a) < row(b); });
    std::vector<std::string> lines;
    for (QListWidgetItem* item : selected)
        lines.push_back(item->text().toStdString());
    QApplication::clipboard()->setText(QString::fromUtf8(CopiedLinesText(lines)));
}

std::string COutputView::LineText(int row) const
{
    QListWidgetItem* line = item(row);
    return line ? line->text().toStdString() : std::string();
}

bool COutputView::IsErrorLine(int row) const
{
    QListWidgetItem* line = item(row);
    return line && line->foreground().color() == QColor(255, 0, 0);
}

void COutputView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
    {
        CopySelection();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void COutputView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("&Copy"), this, &COutputView::CopySelection);
    menu.addAction(QStringLiteral("&Clear"), this, &COutputView::Clear);
    menu.exec(event->globalPos());
}

} // namespace mw
