// File Summary: the files of the client folder itself with their status
// images and holders, in a resizable dialog.
#pragma once

#include <QDialog>

class QTreeWidget;

namespace mw {

class SourceControlClient;

class CFileSummaryDialog : public QDialog
{
    Q_OBJECT
public:
    CFileSummaryDialog(SourceControlClient& sourceControl, QWidget* parent = nullptr);

    QTreeWidget* List() const { return m_list; }

private:
    QTreeWidget* m_list;
};

} // namespace mw
