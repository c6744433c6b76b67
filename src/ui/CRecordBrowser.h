// Picks one record by name out of the built database archives, with a
// filter that narrows the list as the user types.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

namespace mw {

class CRecordBrowser : public QDialog
{
    Q_OBJECT
public:
    CRecordBrowser(const std::vector<std::string>& recordNames, QWidget* parent = nullptr);

    // The chosen record name, or "" when none is selected.
    std::string ChosenRecord() const;

private:
    void ApplyFilter(const QString& text);

    QLineEdit* m_filter;
    QListWidget* m_list;
};

} // namespace mw
