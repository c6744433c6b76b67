// A list of names with check boxes under a heading, all ticked at first:
// "Modified files, check to save:" and "Check to close file:".
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;

namespace mw {

class CCheckListDialog : public QDialog
{
public:
    CCheckListDialog(const QString& title, const QString& heading, const std::vector<std::string>& names,
                     QWidget* parent);

    std::vector<bool> Ticked() const;
    QListWidget* List() const { return m_list; }

private:
    QListWidget* m_list;
};

} // namespace mw
