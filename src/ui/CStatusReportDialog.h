// The Status Report dialog: the user's assets that wait for review or
// revision, with a printout through the print dialog.
#pragma once

#include "app/StatusReport.h"

#include <QDialog>

#include <functional>
#include <vector>

class QPainter;
class QPrinter;
class QTreeWidget;

namespace mw {

class CStatusReportDialog : public QDialog
{
    Q_OBJECT
public:
    CStatusReportDialog(std::vector<StatusReportRow> rows, QWidget* parent = nullptr);

    // Lays the report out on the printer's pages; the number of pages printed.
    int PrintTo(QPrinter& printer) const;
    // Paints the pages through painter on a page of the given size;
    // newPage is called before every page after the first.
    int PaintPages(QPainter& painter, const QRect& page, const std::function<void()>& newPage) const;
    QTreeWidget* List() const { return m_list; }

private:
    void Print();

    std::vector<StatusReportRow> m_rows;
    QTreeWidget* m_list;
};

} // namespace mw
