// The multiple-value editor: one variable's value in every open record
// ("File Name" form) or the entries of one record's array ("Index" form),
// with one typed value for all rows, the browse button, array row buttons
// and add and percent arithmetic. OK writes the rows back as edits.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace mw {

class CInPlaceFileButton;
class DbEditorDocument;

class CMultipleEditDialog : public QDialog
{
public:
    enum class Form
    {
        Records,
        Array,
    };

    // arrayRecord: the record whose array is edited (Array form).
    CMultipleEditDialog(DbEditorDocument& document, const std::string& variableName, Form form,
                        const std::string& arrayRecord, bool readOnly, QWidget* parent);

    std::vector<std::string> Values() const;
    // The typed value, checked, becomes the value of every row.
    bool ConfirmTypedValue(const QString& text);
    void ApplyAdd();
    void ApplyPercent();
    void AddRow();
    void DeleteRow();
    void MoveUp();
    void MoveDown();
    void accept() override;

    QTableWidget* Table() const { return m_table; }
    CInPlaceFileButton* ValueField() const { return m_value; }
    QPushButton* SetButton() const { return m_set; }
    QLineEdit* AddOperand() const { return m_addOperand; }
    QLineEdit* PercentOperand() const { return m_percentOperand; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* PercentButton() const { return m_percent; }
    QPushButton* RowAddButton() const { return m_rowAdd; }
    QPushButton* RowDeleteButton() const { return m_rowDelete; }
    QPushButton* RowUpButton() const { return m_rowUp; }
    QPushButton* RowDownButton() const { return m_rowDown; }

private:
    void AddTableRow(const QString& label, const QString& value);
    void Relabel();
    int SelectedRow() const;
    void SetRowValue(int row, const std::string& value);
    std::string RowValue(int row) const;
    // Replaces every row with operation(row text, operand).
    void ApplyArithmetic(QLineEdit* operandField, bool percent);

    DbEditorDocument& m_document;
    std::string m_variableName;
    std::string m_class;
    std::string m_type;
    Form m_form;
    std::string m_arrayRecord;
    std::vector<std::string> m_recordNames;
    QTableWidget* m_table;
    CInPlaceFileButton* m_value;
    QPushButton* m_set;
    QLineEdit* m_addOperand;
    QLineEdit* m_percentOperand;
    QPushButton* m_add;
    QPushButton* m_percent;
    QPushButton* m_rowAdd;
    QPushButton* m_rowDelete;
    QPushButton* m_rowUp;
    QPushButton* m_rowDown;
};

} // namespace mw
