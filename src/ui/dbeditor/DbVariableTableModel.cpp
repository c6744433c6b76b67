// The variable list's model.
#include "DbVariableTableModel.h"

#include "dbtext/DbEditorDocument.h"
#include "dbtext/DbEditorSettings.h"
#include "dbtext/RecordValueWarnings.h"
#include "dbtext/TemplateEditing.h"

#include <QBrush>
#include <QColor>

namespace mw {

DbVariableTableModel::DbVariableTableModel(DbEditorDocument& document, QObject* parent)
    : QAbstractTableModel(parent), m_document(document)
{
}

bool DbVariableTableModel::IsTemplateMode() const
{
    return m_document.Mode() == DbEditorMode::Template;
}

void DbVariableTableModel::CollectMatches(DbGroup& group, const QString& search)
{
    for (size_t i = 0; i < group.variables.size(); ++i)
        if (QString::fromStdString(group.variables[i]->name).contains(search, Qt::CaseInsensitive))
        {
            m_rows.push_back(Row{group.name, int(i)});
            m_variables.push_back(group.variables[i].get());
        }
    for (const auto& subgroup : group.subgroups)
        CollectMatches(*subgroup, search);
}

void DbVariableTableModel::Rebuild(const std::string& groupName, const QString& search, bool showDescriptions)
{
    beginResetModel();
    m_rows.clear();
    m_variables.clear();
    m_columns.clear();
    m_warnings.clear();
    m_fileRoots = FileValueRoots(m_document.Workspace());
    if (m_document.Mode() != DbEditorMode::None)
    {
        if (!search.isEmpty())
            CollectMatches(m_document.Template().Root(), search);
        else if (DbGroup* group = FindGroupByName(m_document.Template(), groupName))
            for (size_t i = 0; i < group->variables.size(); ++i)
            {
                m_rows.push_back(Row{groupName, int(i)});
                m_variables.push_back(group->variables[i].get());
            }
        m_columns = {{ColumnKind::Name, nullptr}, {ColumnKind::Class, nullptr}, {ColumnKind::Type, nullptr}};
        if (showDescriptions)
            m_columns.push_back({ColumnKind::Description, nullptr});
        if (IsTemplateMode())
            m_columns.push_back({ColumnKind::DefaultValue, nullptr});
        else
            for (DbRecord* record : m_document.Records())
                m_columns.push_back({ColumnKind::RecordValue, record});
    }
    endResetModel();
}

void DbVariableTableModel::Clear()
{
    if (m_rows.empty() && m_columns.empty())
        return;
    beginResetModel();
    m_rows.clear();
    m_variables.clear();
    m_columns.clear();
    endResetModel();
}

int DbVariableTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DbVariableTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

DbVariable* DbVariableTableModel::VariableAt(int row) const
{
    return row >= 0 && size_t(row) < m_variables.size() ? m_variables[size_t(row)] : nullptr;
}

int DbVariableTableModel::FindRow(const std::string& group, int index) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].group == group && m_rows[i].index == index)
            return int(i);
    return -1;
}

std::string DbVariableTableModel::Heading(int column) const
{
    switch (KindOf(column))
    {
    case ColumnKind::Name:
        return DbEditorSettings::Heading(DbEditorColumn::Name);
    case ColumnKind::Class:
        return DbEditorSettings::Heading(DbEditorColumn::Class);
    case ColumnKind::Type:
        return DbEditorSettings::Heading(DbEditorColumn::Type);
    case ColumnKind::Description:
        return DbEditorSettings::Heading(DbEditorColumn::Description);
    case ColumnKind::DefaultValue:
        return DbEditorSettings::Heading(DbEditorColumn::DefaultValue);
    case ColumnKind::RecordValue:
        return RecordOf(column)->FileState().ShortName();
    }
    return std::string();
}

QVariant DbVariableTableModel::data(const QModelIndex& index, int role) const
{
    const DbVariable* variable = VariableAt(index.row());
    if (!variable || index.column() >= columnCount())
        return QVariant();
    ColumnKind kind = KindOf(index.column());
    if (role == Qt::DisplayRole || role == Qt::EditRole)
    {
        switch (kind)
        {
        case ColumnKind::Name:
            return QString::fromStdString(variable->name);
        case ColumnKind::Class:
            return QString::fromStdString(variable->varClass);
        case ColumnKind::Type:
            return QString::fromStdString(variable->type);
        case ColumnKind::Description:
            return QString::fromStdString(variable->description);
        case ColumnKind::DefaultValue:
            return QString::fromStdString(variable->defaultValue);
        case ColumnKind::RecordValue:
            if (variable->IsDirective())
                return QString::fromStdString(variable->defaultValue);
            return QString::fromStdString(RecordOf(index.column())->GetValue(variable->name));
        }
    }
    if (role == Qt::ToolTipRole)
    {
        // The name tells what the variable is for; other cells show their
        // whole text, which a narrow column cuts.
        if (kind == ColumnKind::Name)
            return QString::fromStdString(variable->description.empty()
                                              ? "Group: " + m_rows[size_t(index.row())].group
                                              : variable->description);
        std::string warning = ValueWarningAt(index);
        if (!warning.empty())
            return QString::fromStdString("This value " + warning + ": " +
                                          RecordOf(index.column())->GetValue(variable->name));
        return data(index, Qt::DisplayRole);
    }
    // Values that compile to something other than they say are marked.
    if ((role == Qt::ForegroundRole || role == Qt::BackgroundRole) && kind == ColumnKind::RecordValue &&
        !ValueWarningAt(index).empty())
        return role == Qt::ForegroundRole ? QBrush(QColor(170, 20, 20)) : QBrush(QColor(255, 228, 225));
    if (role == Qt::ForegroundRole && !IsTemplateMode() && kind == ColumnKind::RecordValue &&
        (variable->varClass == "static" || variable->IsDirective()))
        return QBrush(QColor(110, 110, 110));
    if (role == Qt::ForegroundRole && !variable->sourceFile.empty())
        return QBrush(QColor(40, 70, 150));
    return QVariant();
}

std::string DbVariableTableModel::ValueWarningAt(const QModelIndex& index) const
{
    const DbVariable* variable = VariableAt(index.row());
    if (!variable || index.column() >= columnCount() || KindOf(index.column()) != ColumnKind::RecordValue ||
        variable->IsDirective())
        return std::string();
    std::string value = RecordOf(index.column())->GetValue(variable->name);
    if (value.empty())
        return std::string();
    std::string key = variable->type + '\n' + variable->varClass + '\n' + value;
    auto found = m_warnings.find(key);
    if (found == m_warnings.end())
        found = m_warnings.emplace(key, ValueWarning(variable->varClass, variable->type, value, m_fileRoots)).first;
    return found->second;
}

QVariant DbVariableTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= columnCount())
        return QVariant();
    return QString::fromStdString(Heading(section));
}

CellEditorKind DbVariableTableModel::EditorKind(const QModelIndex& index) const
{
    const DbVariable* variable = VariableAt(index.row());
    if (!variable || index.column() >= columnCount())
        return CellEditorKind::None;
    bool recordColumn = KindOf(index.column()) == ColumnKind::RecordValue;
    // Includes and equation variables are not record values.
    if (recordColumn && variable->IsDirective())
        return CellEditorKind::None;
    return ChooseCellEditor(Heading(index.column()), recordColumn, IsTemplateMode(), variable->type,
                            variable->varClass);
}

Qt::ItemFlags DbVariableTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags base = QAbstractTableModel::flags(index);
    if (EditorKind(index) != CellEditorKind::None)
        base |= Qt::ItemIsEditable;
    return base;
}

bool DbVariableTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const DbVariable* variable = VariableAt(index.row());
    if (role != Qt::EditRole || !variable || EditorKind(index) == CellEditorKind::None)
        return false;
    std::string text = value.toString().toStdString();
    const Row& row = m_rows[size_t(index.row())];
    bool accepted = false;
    switch (KindOf(index.column()))
    {
    case ColumnKind::RecordValue:
        accepted = m_document.EditRecordValue(RecordOf(index.column())->FileState().ShortName(), variable->name, text);
        break;
    case ColumnKind::Name:
        accepted = m_document.EditTemplateField(row.group, row.index, TemplateField::Name, text);
        break;
    case ColumnKind::Class:
        accepted = m_document.EditTemplateField(row.group, row.index, TemplateField::Class, text);
        break;
    case ColumnKind::Type:
        accepted = m_document.EditTemplateField(row.group, row.index, TemplateField::Type, text);
        break;
    case ColumnKind::Description:
        accepted = m_document.EditTemplateField(row.group, row.index, TemplateField::Description, text);
        break;
    case ColumnKind::DefaultValue:
        accepted = m_document.EditTemplateField(row.group, row.index, TemplateField::DefaultValue, text);
        break;
    }
    if (accepted)
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return accepted;
}

} // namespace mw
