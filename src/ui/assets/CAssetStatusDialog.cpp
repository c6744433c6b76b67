// The asset status dialog.
#include "CAssetStatusDialog.h"

#include "assets/AssetStatusRules.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace mw {

CAssetStatusDialog::CAssetStatusDialog(const AssetHeader& header, bool readOnly, bool privileged, QWidget* parent)
    : QDialog(parent), m_status(header.status), m_readOnly(readOnly), m_privileged(privileged),
      m_statusField(new QLineEdit), m_promote(new QPushButton(QStringLiteral("P"))),
      m_demote(new QPushButton(QStringLiteral("D"))), m_assignedTo(new QLineEdit(QString::fromStdString(header.assignedTo))),
      m_comment(new QPlainTextEdit(QString::fromStdString(header.comment)))
{
    setWindowTitle(QStringLiteral("Status"));
    auto* form = new QFormLayout(this);
    auto* statusRow = new QHBoxLayout;
    m_statusField->setReadOnly(true);
    m_statusField->setMinimumWidth(200);
    m_promote->setFixedWidth(28);
    m_demote->setFixedWidth(28);
    m_promote->setToolTip(QStringLiteral("Promote: one step further in the review"));
    m_demote->setToolTip(QStringLiteral("Demote: one step back in the review"));
    statusRow->addWidget(m_statusField, 1);
    statusRow->addWidget(m_promote);
    statusRow->addWidget(m_demote);
    form->addRow(QStringLiteral("Status:"), statusRow);
    form->addRow(QStringLiteral("Assigned to:"), m_assignedTo);
    form->addRow(QStringLiteral("Comment:"), m_comment);
    m_assignedTo->setReadOnly(readOnly);
    m_comment->setReadOnly(readOnly);
    m_comment->setMinimumHeight(90);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    connect(m_promote, &QPushButton::clicked, this, &CAssetStatusDialog::Promote);
    connect(m_demote, &QPushButton::clicked, this, &CAssetStatusDialog::Demote);
    UpdateControls();
}

AssetHeader CAssetStatusDialog::Header() const
{
    return AssetHeader{m_status, m_assignedTo->text().toStdString(), m_comment->toPlainText().toStdString()};
}

QString CAssetStatusDialog::StatusText() const { return m_statusField->text(); }

void CAssetStatusDialog::Promote()
{
    if (m_readOnly)
        return;
    m_status = PromoteStatus(m_status, m_privileged);
    UpdateControls();
}

void CAssetStatusDialog::Demote()
{
    if (m_readOnly)
        return;
    m_status = DemoteStatus(m_status, m_privileged);
    UpdateControls();
}

void CAssetStatusDialog::UpdateControls()
{
    m_statusField->setText(QString::fromLatin1(AssetStatusText(m_status)));
    m_promote->setEnabled(!m_readOnly && CanPromote(m_status, m_privileged));
    m_demote->setEnabled(!m_readOnly && CanDemote(m_status, m_privileged));
}

} // namespace mw
