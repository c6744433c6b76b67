// The multiple-value editor.
#include "CMultipleEditDialog.h"

#include "CInPlaceFileButton.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbEditorDocument.h"
#include "dbtext/MultipleEditRules.h"
#include "dbtext/TemplateValidation.h"
#include "platform/PathRules.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace mw {

CMultipleEditDialog::CMultipleEditDialog(DbEditorDocument& document, const std::string& variableName, Form form,
                                         const std::string& arrayRecord, bool readOnly, QWidget* parent)
    : QDialog(parent), m_document(document), m_variableName(variableName), m_form(form), m_arrayRecord(arrayRecord),
      m_table(new QTableWidget(0, 2, this)), m_set(new QPushButton("Set All", this)),
      m_addOperand(new QLineEdit(this)), m_percentOperand(new QLineEdit(this)), m_add(new QPushButton("Add", this)),
      m_percent(new QPushButton("Percent", this)), m_rowAdd(new QPushButton("Add Entry", this)),
      m_rowDelete(new QPushButton("Delete Entry", this)), m_rowUp(new QPushButton("Move Up", this)),
      m_rowDown(new QPushButton("Move Down", this))
{
    setWindowTitle(QString::fromStdString(MultipleEditTitle(variableName, readOnly)));
    m_set->setToolTip("Give every row the typed value");
    m_add->setToolTip("Add the number to every row");
    m_percent->setToolTip("Change every row by this percentage");
    if (const DbVariable* variable = document.Template().Root().FindVariable(variableName))
    {
        m_class = variable->varClass;
        m_type = variable->type;
    }
    IWorkspaceContext& workspace = document.Workspace();
    auto pathForm = m_type == "include" ? CInPlaceFileButton::PathForm::TemplateDir
                                        : CInPlaceFileButton::PathForm::Relative;
    m_value = new CInPlaceFileButton(BrowseExtensions(m_type), pathForm, workspace.GetWorkingDir(),
                                     workspace.GetCurrentModName(), this);

    m_table->setHorizontalHeaderLabels({form == Form::Records ? "File Name" : "Index", "Value"});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->setVisible(false);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    if (form == Form::Records)
    {
        for (DbRecord* record : document.Records())
        {
            m_recordNames.push_back(record->FileState().ShortName());
            AddTableRow(QString::fromStdString(m_recordNames.back()),
                        QString::fromStdString(record->GetValue(variableName)));
        }
    }
    else if (DbRecord* record = document.FindOpenRecordByName(arrayRecord))
    {
        std::string value = record->GetValue(variableName);
        if (!value.empty())
            for (const std::string& entry : SplitText(value, ';'))
                AddTableRow(QString(), QString::fromStdString(entry));
        Relabel();
    }

    bool valueEnabled = MultipleEditValueEnabled(readOnly, m_class, m_type);
    bool arithmetic = MultipleEditArithmeticEnabled(readOnly, m_class, m_type);
    m_value->Field()->setEnabled(valueEnabled);
    m_value->Button()->setEnabled(valueEnabled);
    m_set->setEnabled(valueEnabled);
    m_table->setEditTriggers(valueEnabled ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                          : QAbstractItemView::NoEditTriggers);
    for (QPushButton* button : {m_rowAdd, m_rowDelete, m_rowUp, m_rowDown})
        button->setEnabled(form == Form::Array && valueEnabled);
    for (QWidget* widget : std::initializer_list<QWidget*>{m_add, m_percent, m_addOperand, m_percentOperand})
        widget->setEnabled(arithmetic);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    auto* rowButtons = new QHBoxLayout;
    for (QPushButton* button : {m_rowAdd, m_rowDelete, m_rowUp, m_rowDown})
        rowButtons->addWidget(button);
    layout->addLayout(rowButtons);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Value:", this), 0, 0);
    grid->addWidget(m_value, 0, 1);
    grid->addWidget(m_set, 0, 2);
    grid->addWidget(new QLabel("Add:", this), 1, 0);
    grid->addWidget(m_addOperand, 1, 1);
    grid->addWidget(m_add, 1, 2);
    grid->addWidget(new QLabel("Percent:", this), 2, 0);
    grid->addWidget(m_percentOperand, 2, 1);
    grid->addWidget(m_percent, 2, 2);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!readOnly);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CMultipleEditDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_set, &QPushButton::clicked, this, [this] { ConfirmTypedValue(m_value->Text()); });
    connect(m_add, &QPushButton::clicked, this, [this] { ApplyAdd(); });
    connect(m_percent, &QPushButton::clicked, this, [this] { ApplyPercent(); });
    connect(m_rowAdd, &QPushButton::clicked, this, [this] { AddRow(); });
    connect(m_rowDelete, &QPushButton::clicked, this, [this] { DeleteRow(); });
    connect(m_rowUp, &QPushButton::clicked, this, [this] { MoveUp(); });
    connect(m_rowDown, &QPushButton::clicked, this, [this] { MoveDown(); });
    resize(480, 420);
}

void CMultipleEditDialog::AddTableRow(const QString& label, const QString& value)
{
    int row = m_table->rowCount();
    m_table->insertRow(row);
    auto* labelItem = new QTableWidgetItem(label);
    labelItem->setFlags(labelItem->flags() & ~Qt::ItemIsEditable);
    m_table->setItem(row, 0, labelItem);
    m_table->setItem(row, 1, new QTableWidgetItem(value));
}

void CMultipleEditDialog::Relabel()
{
    if (m_form != Form::Array)
        return;
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->item(row, 0)->setText(QString::number(row));
}

int CMultipleEditDialog::SelectedRow() const
{
    QList<QTableWidgetItem*> selected = m_table->selectedItems();
    return selected.isEmpty() ? -1 : selected.front()->row();
}

std::string CMultipleEditDialog::RowValue(int row) const
{
    return m_table->item(row, 1)->text().toStdString();
}

void CMultipleEditDialog::SetRowValue(int row, const std::string& value)
{
    m_table->item(row, 1)->setText(QString::fromStdString(value));
}

std::vector<std::string> CMultipleEditDialog::Values() const
{
    std::vector<std::string> values;
    for (int row = 0; row < m_table->rowCount(); ++row)
        values.push_back(RowValue(row));
    return values;
}

bool CMultipleEditDialog::ConfirmTypedValue(const QString& text)
{
    DbVariable* variable = m_document.Template().Root().FindVariable(m_variableName);
    std::string stored;
    if (!variable || !ValidateTypedValue(*variable, text.toStdString(), m_document.Prompt(), stored))
        return false;
    for (int row = 0; row < m_table->rowCount(); ++row)
        SetRowValue(row, stored);
    return true;
}

void CMultipleEditDialog::ApplyArithmetic(QLineEdit* operandField, bool percent)
{
    std::string operand = operandField->text().toStdString();
    if (m_type == "int")
    {
        operand = CutIntOperand(operand);
        operandField->setText(QString::fromStdString(operand));
    }
    for (int row = 0; row < m_table->rowCount(); ++row)
        SetRowValue(row, percent ? PercentOfValue(RowValue(row), operand, m_type)
                                 : AddToValue(RowValue(row), operand, m_type));
}

void CMultipleEditDialog::ApplyAdd()
{
    ApplyArithmetic(m_addOperand, false);
}

void CMultipleEditDialog::ApplyPercent()
{
    ApplyArithmetic(m_percentOperand, true);
}

void CMultipleEditDialog::AddRow()
{
    if (m_form != Form::Array)
        return;
    m_table->clearSelection();
    AddTableRow(QString(), QString());
    Relabel();
}

void CMultipleEditDialog::DeleteRow()
{
    int row = SelectedRow();
    if (m_form != Form::Array || row < 0)
        return;
    m_table->removeRow(row);
    Relabel();
}

void CMultipleEditDialog::MoveUp()
{
    int row = SelectedRow();
    if (m_form != Form::Array || row <= 0)
        return;
    std::string above = RowValue(row - 1);
    SetRowValue(row - 1, RowValue(row));
    SetRowValue(row, above);
    m_table->selectRow(row - 1);
}

void CMultipleEditDialog::MoveDown()
{
    int row = SelectedRow();
    if (m_form != Form::Array || row < 0 || row + 1 >= m_table->rowCount())
        return;
    std::string below = RowValue(row + 1);
    SetRowValue(row + 1, RowValue(row));
    SetRowValue(row, below);
    m_table->selectRow(row + 1);
}

void CMultipleEditDialog::accept()
{
    std::vector<std::string> values = Values();
    if (m_form == Form::Array)
    {
        std::string joined;
        for (size_t i = 0; i < values.size(); ++i)
            joined += (i ? ";" : "") + values[i];
        if (!m_document.EditRecordValue(m_arrayRecord, m_variableName, joined))
            return;
    }
    else
    {
        std::vector<std::pair<std::string, std::string>> rows;
        for (size_t i = 0; i < values.size() && i < m_recordNames.size(); ++i)
            rows.emplace_back(m_recordNames[i], values[i]);
        int refused = m_document.EditRecordValues(m_variableName, rows);
        if (refused >= 0)
        {
            m_table->selectRow(refused);
            return;
        }
    }
    QDialog::accept();
}

} // namespace mw
