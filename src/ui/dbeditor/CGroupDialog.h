// The group dialog of "Add New Group" and "Edit Group": a name and a type.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace mw {

class CGroupDialog : public QDialog
{
public:
    CGroupDialog(const QString& title, const QString& name, const QString& type, QWidget* parent);

    std::string Name() const;
    std::string Type() const;
    QLineEdit* NameField() const { return m_name; }

private:
    QLineEdit* m_name;
    QComboBox* m_type;
};

} // namespace mw
