// The rows and columns of the variable list: the variables of the selected
// group (or, while searching, every variable whose name matches), with the
// template's columns or one value column per open record.
#pragma once

#include "dbtext/CellEditorKind.h"

#include <QAbstractTableModel>

#include <string>
#include <unordered_map>
#include <vector>

namespace mw {

class DbEditorDocument;
class DbGroup;
class DbRecord;
class DbVariable;

class DbVariableTableModel : public QAbstractTableModel
{
public:
    enum class ColumnKind
    {
        Name,
        Class,
        Type,
        Description,
        DefaultValue,
        RecordValue,
    };

    // One row: a variable found by its group's name and its index there.
    struct Row
    {
        std::string group;
        int index;
    };

    DbVariableTableModel(DbEditorDocument& document, QObject* parent);

    // Rebuilds rows and columns. An empty search shows the group's own
    // variables; otherwise every variable of the template whose name holds
    // the search text (without regard to case).
    void Rebuild(const std::string& groupName, const QString& search, bool showDescriptions);
    // No rows and no columns (while the document's records are replaced).
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Hands the edit to the document, which checks and records it.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    ColumnKind KindOf(int column) const { return m_columns[size_t(column)].kind; }
    std::string Heading(int column) const;
    DbRecord* RecordOf(int column) const { return m_columns[size_t(column)].record; }
    const Row& RowAt(int row) const { return m_rows[size_t(row)]; }
    DbVariable* VariableAt(int row) const;
    // The row showing the variable at index in the group, or -1.
    int FindRow(const std::string& group, int index) const;
    CellEditorKind EditorKind(const QModelIndex& index) const;
    bool IsTemplateMode() const;
    // Why a record value cell is marked (a value that does not read as its
    // type, a file that does not exist), or empty when it is not.
    std::string ValueWarningAt(const QModelIndex& index) const;

private:
    struct Column
    {
        ColumnKind kind;
        DbRecord* record;
    };

    void CollectMatches(DbGroup& group, const QString& search);

    DbEditorDocument& m_document;
    std::vector<Row> m_rows;
    // Variables of the rows, looked up once per rebuild.
    std::vector<DbVariable*> m_variables;
    std::vector<Column> m_columns;
    // Where file values are looked up, and the warnings found so far by
    // type, class and value (painting asks often; a rebuild forgets them).
    std::vector<std::string> m_fileRoots;
    mutable std::unordered_map<std::string, std::string> m_warnings;
};

} // namespace mw
