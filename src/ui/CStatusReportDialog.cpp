// The Status Report dialog and its printout.
#include "CStatusReportDialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mw {

CStatusReportDialog::CStatusReportDialog(std::vector<StatusReportRow> rows, QWidget* parent)
    : QDialog(parent), m_rows(std::move(rows)), m_list(new QTreeWidget)
{
    setWindowTitle(QStringLiteral("Status Report"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Status")});
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->resizeSection(1, 160);
    for (const StatusReportRow& row : m_rows)
        new QTreeWidgetItem(m_list, {QString::fromUtf8(row.name), QString::fromUtf8(row.status)});
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* print = buttons->addButton(QStringLiteral("&Print..."), QDialogButtonBox::ActionRole);
    connect(print, &QPushButton::clicked, this, &CStatusReportDialog::Print);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(560, 420);
}

void CStatusReportDialog::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print Status Report"));
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(printer);
}

int CStatusReportDialog::PrintTo(QPrinter& printer) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    int pages = PaintPages(painter, painter.viewport(), [&printer] { printer.newPage(); });
    painter.end();
    return pages;
}

int CStatusReportDialog::PaintPages(QPainter& painter, const QRect& page, const std::function<void()>& newPage) const
{
    QFont title(QStringLiteral("Arial"), 16, QFont::Bold);
    QFont body(QStringLiteral("Arial"), 10);
    QDateTime now = QDateTime::currentDateTime();
    QString date = QString::fromStdString(PrintDateText(now.date().day(), now.date().month(), now.date().year(),
                                                        now.time().hour(), now.time().minute(),
                                                        now.time().second()));
    painter.setFont(body);
    int lineHeight = painter.fontMetrics().height() * 5 / 4;
    int margin = lineHeight * 2;
    int statusColumn = page.left() + margin + (page.width() - 2 * margin) * 2 / 3;
    int pageNumber = 0;
    size_t next = 0;
    do
    {
        if (pageNumber > 0)
            newPage();
        ++pageNumber;
        painter.setFont(title);
        int y = page.top() + margin;
        QRect titleBox(page.left(), y, page.width(), painter.fontMetrics().height());
        painter.drawText(titleBox, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Status Report"));
        y += titleBox.height() + lineHeight / 2;
        painter.setFont(body);
        painter.drawText(page.left() + margin, y + painter.fontMetrics().ascent(), date);
        y += lineHeight * 2;
        painter.drawText(page.left() + margin, y + painter.fontMetrics().ascent(), QStringLiteral("Name"));
        painter.drawText(statusColumn, y + painter.fontMetrics().ascent(), QStringLiteral("Status"));
        y += lineHeight;
        painter.drawLine(page.left() + margin, y, page.right() - margin, y);
        y += lineHeight / 2;
        int bottom = page.bottom() - margin - lineHeight;
        while (next < m_rows.size() && y + lineHeight <= bottom)
        {
            int nameWidth = statusColumn - (page.left() + margin) - lineHeight;
            QString name = painter.fontMetrics().elidedText(QString::fromUtf8(m_rows[next].name), Qt::ElideMiddle,
                                                            nameWidth);
            painter.drawText(page.left() + margin, y + painter.fontMetrics().ascent(), name);
            painter.drawText(statusColumn, y + painter.fontMetrics().ascent(),
                             QString::fromUtf8(m_rows[next].status));
            y += lineHeight;
            ++next;
        }
        QString number = QString::fromStdString(PageNumberText(pageNumber));
        painter.drawText(QRect(page.left(), bottom, page.width(), lineHeight), Qt::AlignHCenter | Qt::AlignBottom,
                         number);
    } while (next < m_rows.size());
    return pageNumber;
}

} // namespace mw
