// File Summary: the files of the client folder itself with their status
// images and holders, in a resizable dialog, with the network toolbar acting
// on the dialog's own rows in network mode.
#pragma once

#include <QDialog>

#include <map>

class QAction;
class QToolBar;

namespace mw {

class CFileView;
class IFileViewHost;

class CFileSummaryDialog : public QDialog
{
    Q_OBJECT
public:
    CFileSummaryDialog(IFileViewHost& host, QWidget* parent = nullptr);

    CFileView& View() const { return *m_view; }

private:
    void BuildToolBar();
    // Check In and Undo Check Out only for rows this user holds.
    void UpdateToolBarStates();

    IFileViewHost& m_host;
    CFileView* m_view;
    QToolBar* m_toolBar = nullptr;
    std::map<int, QAction*> m_actions;
};

} // namespace mw
