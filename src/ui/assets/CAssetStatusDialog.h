// The review status of one asset: the status text with its promote ("P")
// and demote ("D") buttons, "Assigned to:" and "Comment:". Read-only when
// the current user does not hold the file.
#pragma once

#include "assets/AssetHeader.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace mw {

class CAssetStatusDialog : public QDialog
{
    Q_OBJECT
public:
    CAssetStatusDialog(const AssetHeader& header, bool readOnly, bool privileged, QWidget* parent = nullptr);

    // The header with the dialog's status, assigned-to and comment.
    AssetHeader Header() const;

    void Promote();
    void Demote();
    QPushButton* PromoteButton() const { return m_promote; }
    QPushButton* DemoteButton() const { return m_demote; }
    QString StatusText() const;

private:
    void UpdateControls();

    uint32_t m_status;
    bool m_readOnly;
    bool m_privileged;
    QLineEdit* m_statusField;
    QPushButton* m_promote;
    QPushButton* m_demote;
    QLineEdit* m_assignedTo;
    QPlainTextEdit* m_comment;
};

} // namespace mw
