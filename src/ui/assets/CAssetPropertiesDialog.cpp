// The shared form of the asset properties dialogs.
#include "CAssetPropertiesDialog.h"

#include "CRootedFileDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace mw {

CAssetPropertiesDialog::CAssetPropertiesDialog(const QString& title, const std::string& sourceRoot, QWidget* parent)
    : QDialog(parent), m_sourceRoot(sourceRoot), m_form(new QFormLayout(this))
{
    setWindowTitle(title);
    m_form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    setMinimumWidth(460);
}

std::string CAssetPropertiesDialog::Text(const QLineEdit* field) { return field->text().trimmed().toStdString(); }

bool CAssetPropertiesDialog::BrowseSource(const QStringList& filters, std::string& relativePath)
{
    if (m_browser)
        return m_browser(filters, relativePath);
    CRootedFileDialog dialog(m_sourceRoot, QStringLiteral("Choose Source File"), filters, this);
    if (dialog.exec() != QDialog::Accepted || dialog.RelativePath().empty())
        return false;
    relativePath = dialog.RelativePath();
    return true;
}

QLineEdit* CAssetPropertiesDialog::AddFileField(const QString& label, const std::string& value,
                                                const QStringList& filters)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* field = new QLineEdit(QString::fromStdString(value));
    auto* browse = new QPushButton(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral("Choose a file below the source folder"));
    browse->setFixedWidth(32);
    layout->addWidget(field, 1);
    layout->addWidget(browse);
    connect(browse, &QPushButton::clicked, this, [this, field, filters] {
        std::string chosen;
        if (BrowseSource(filters, chosen))
            field->setText(QString::fromStdString(chosen));
    });
    m_form->addRow(label, row);
    return field;
}

QLineEdit* CAssetPropertiesDialog::AddTextField(const QString& label, const std::string& value)
{
    auto* field = new QLineEdit(QString::fromStdString(value));
    m_form->addRow(label, field);
    return field;
}

QCheckBox* CAssetPropertiesDialog::AddCheck(const QString& text, bool checked)
{
    auto* check = new QCheckBox(text);
    check->setChecked(checked);
    m_form->addRow(QString(), check);
    return check;
}

QComboBox* CAssetPropertiesDialog::AddList(const QString& label, const QStringList& items, int current)
{
    auto* list = new QComboBox;
    list->addItems(items);
    list->setCurrentIndex(current >= 0 && current < items.size() ? current : 0);
    m_form->addRow(label, list);
    return list;
}

QGroupBox* CAssetPropertiesDialog::AddGroup(const QString& title)
{
    auto* group = new QGroupBox(title);
    m_form->addRow(group);
    return group;
}

void CAssetPropertiesDialog::Finish(std::function<bool()> check)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this, check] {
        if (!check || check())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_form->addRow(buttons);
}

QString QtNameFilter(const std::string& label, const std::string& pattern)
{
    QString name = QString::fromStdString(label);
    int open = name.indexOf(QStringLiteral(" ("));
    if (open >= 0)
        name.truncate(open);
    QString patterns = QString::fromStdString(pattern);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return name + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

} // namespace mw
