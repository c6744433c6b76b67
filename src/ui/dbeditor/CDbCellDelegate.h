// Creates the in-place editor of a variable-list cell: text fields, choice
// lists of the vocabularies and pick-list items, the file button and the
// equation editor.
#pragma once

#include <QStyledItemDelegate>

namespace mw {

class DbEditorDocument;
class DbVariableTableModel;

class CDbCellDelegate : public QStyledItemDelegate
{
public:
    CDbCellDelegate(DbEditorDocument& document, DbVariableTableModel& model, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    DbEditorDocument& m_document;
    DbVariableTableModel& m_model;
};

} // namespace mw
