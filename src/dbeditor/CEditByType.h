// The variable dialog: every field of one template variable, checked when
// confirmed (the dialog stays open on a failed check).
#pragma once

#include "dbtext/DbVariable.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace mw {

class DbTemplate;
class IUserPrompt;

class CEditByType : public QDialog
{
public:
    // dbTemplate may be null (the check then reports an internal error).
    CEditByType(const DbVariable& variable, DbTemplate* dbTemplate, IUserPrompt& prompt, QWidget* parent);

    DbVariable Result() const;
    void accept() override;

private:
    DbVariable m_original;
    DbTemplate* m_template;
    IUserPrompt& m_prompt;
    QLineEdit* m_name;
    QComboBox* m_class;
    QComboBox* m_type;
    QLineEdit* m_description;
    QLineEdit* m_defaultValue;
};

} // namespace mw
