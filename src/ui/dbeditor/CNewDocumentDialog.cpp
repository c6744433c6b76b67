// The New dialog.
#include "CNewDocumentDialog.h"

#include "CInPlaceFileButton.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mw {

CNewDocumentDialog::CNewDocumentDialog(const std::string& workingDir, QWidget* parent)
    : QDialog(parent), m_template(new QRadioButton("Database Template", this)),
      m_record(new QRadioButton("Database Record of the template:", this)),
      m_templateName(new CInPlaceFileButton("tpl", CInPlaceFileButton::PathForm::TemplateDir, workingDir,
                                            std::string(), this))
{
    setWindowTitle("New");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Create a new:", this));
    layout->addWidget(m_template);
    layout->addWidget(m_record);
    layout->addWidget(m_templateName);
    m_templateName->Field()->setPlaceholderText("%TEMPLATE_DIR%Database\\Templates\\...");
    m_template->setChecked(true);
    m_templateName->setEnabled(false);
    connect(m_record, &QRadioButton::toggled, m_templateName, &QWidget::setEnabled);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setMinimumWidth(460);
}

bool CNewDocumentDialog::WantsTemplate() const
{
    return m_template->isChecked();
}

std::string CNewDocumentDialog::TemplateName() const
{
    return m_templateName->Text().trimmed().toStdString();
}

} // namespace mw
