// The cell editors.
#include "CDbCellDelegate.h"

#include "CInPlaceEquationEdit.h"
#include "CInPlaceFileButton.h"
#include "DbVariableTableModel.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbEditorDocument.h"
#include "dbtext/MultipleEditRules.h"
#include "dbtext/TemplateEditing.h"
#include "platform/PathRules.h"

#include <QComboBox>
#include <QLineEdit>

namespace mw {
namespace {

QComboBox* MakeChoice(const std::vector<std::string>& items, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    for (const std::string& item : items)
        box->addItem(QString::fromStdString(item));
    return box;
}

void CollectEquationVariables(const DbGroup& group, std::vector<std::string>& names)
{
    for (const auto& variable : group.variables)
        if (variable->type == "eqnVariable")
            names.push_back(variable->name);
    for (const auto& subgroup : group.subgroups)
        CollectEquationVariables(*subgroup, names);
}

} // namespace

CDbCellDelegate::CDbCellDelegate(DbEditorDocument& document, DbVariableTableModel& model, QObject* parent)
    : QStyledItemDelegate(parent), m_document(document), m_model(model)
{
}

QWidget* CDbCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const DbVariable* variable = m_model.VariableAt(index.row());
    if (!variable)
        return nullptr;
    switch (m_model.EditorKind(index))
    {
    case CellEditorKind::None:
        return nullptr;
    case CellEditorKind::TextField:
        return new QLineEdit(parent);
    case CellEditorKind::ClassChoice:
        return MakeChoice(VariableClassChoices(), parent);
    case CellEditorKind::TypeChoice:
        return MakeChoice(VariableTypeChoices(), parent);
    case CellEditorKind::PicklistChoice:
        return MakeChoice(SplitText(variable->defaultValue, ';'), parent);
    case CellEditorKind::FileButton:
    {
        auto form = variable->type == "include" ? CInPlaceFileButton::PathForm::TemplateDir
                                                : CInPlaceFileButton::PathForm::Relative;
        IWorkspaceContext& workspace = m_document.Workspace();
        auto* button = new CInPlaceFileButton(BrowseExtensions(variable->type), form, workspace.GetWorkingDir(),
                                              workspace.GetCurrentModName(), parent);
        button->setAutoFillBackground(true);
        return button;
    }
    case CellEditorKind::EquationEditor:
    {
        std::vector<std::string> names;
        CollectEquationVariables(m_document.Template().Root(), names);
        return new CInPlaceEquationEdit(names, parent);
    }
    }
    return nullptr;
}

void CDbCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    QString text = index.data(Qt::EditRole).toString();
    if (auto* box = qobject_cast<QComboBox*>(editor))
    {
        int found = box->findText(text);
        if (found < 0 && !text.isEmpty())
        {
            box->addItem(text);
            found = box->count() - 1;
        }
        box->setCurrentIndex(found);
    }
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(text);
    else if (auto* button = dynamic_cast<CInPlaceFileButton*>(editor))
        button->SetText(text);
}

void CDbCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    QString text;
    if (auto* box = qobject_cast<QComboBox*>(editor))
        text = box->currentText();
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        text = line->text();
    else if (auto* button = dynamic_cast<CInPlaceFileButton*>(editor))
        text = button->Text();
    else
        return;
    if (text == index.data(Qt::EditRole).toString())
        return;
    model->setData(index, text, Qt::EditRole);
}

} // namespace mw
