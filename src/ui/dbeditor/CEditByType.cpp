// The variable dialog.
#include "CEditByType.h"

#include "CInPlaceFileButton.h"
#include "dbtext/MultipleEditRules.h"
#include "dbtext/TemplateEditing.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QToolButton>

namespace mw {
namespace {

QComboBox* MakeChoice(const std::vector<std::string>& items, const std::string& current, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItem(QString());
    for (const std::string& item : items)
        box->addItem(QString::fromStdString(item));
    int found = box->findText(QString::fromStdString(current));
    if (found < 0)
    {
        box->addItem(QString::fromStdString(current));
        found = box->count() - 1;
    }
    box->setCurrentIndex(found);
    return box;
}

} // namespace

CEditByType::CEditByType(const DbVariable& variable, DbTemplate* dbTemplate, IUserPrompt& prompt,
                         const std::string& workingDir, QWidget* parent)
    : QDialog(parent), m_original(variable), m_template(dbTemplate), m_prompt(prompt),
      m_name(new QLineEdit(QString::fromStdString(variable.name), this)),
      m_class(MakeChoice(VariableClassChoices(), variable.varClass, this)),
      m_type(MakeChoice(VariableTypeChoices(), variable.type, this)),
      m_description(new QLineEdit(QString::fromStdString(variable.description), this)),
      m_defaultValue(new CInPlaceFileButton(std::string(), CInPlaceFileButton::PathForm::Relative, workingDir,
                                            std::string(), this))
{
    m_defaultValue->SetText(QString::fromStdString(variable.defaultValue));
    TypeChosen();
    connect(m_type, &QComboBox::currentTextChanged, this, [this] { TypeChosen(); });
    setWindowTitle("Edit Variable");
    auto* layout = new QFormLayout(this);
    layout->addRow("Name:", m_name);
    layout->addRow("Class:", m_class);
    layout->addRow("Type:", m_type);
    layout->addRow("Description:", m_description);
    layout->addRow("Default Value:", m_defaultValue);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditByType::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setMinimumWidth(420);
}

DbVariable CEditByType::Result() const
{
    DbVariable result(m_original);
    result.name = m_name->text().toStdString();
    result.varClass = m_class->currentText().toStdString();
    result.type = m_type->currentText().toStdString();
    result.description = m_description->text().toStdString();
    result.defaultValue = m_defaultValue->Text().toStdString();
    return result;
}

void CEditByType::TypeChosen()
{
    std::string type = m_type->currentText().toStdString();
    auto form = type == "include" ? CInPlaceFileButton::PathForm::TemplateDir : CInPlaceFileButton::PathForm::Relative;
    m_defaultValue->SetKind(BrowseExtensions(type), form);
    m_defaultValue->Button()->setEnabled(type == "include" || IsFileType(type));
}

void CEditByType::accept()
{
    if (CheckVariableDialog(m_template, Result(), m_original.name, m_prompt))
        QDialog::accept();
}

} // namespace mw
