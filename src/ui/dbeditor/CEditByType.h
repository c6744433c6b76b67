// The variable dialog: every field of one template variable, checked when
// confirmed (the dialog stays open on a failed check).
#pragma once

#include "dbtext/DbVariable.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace mw {

class CInPlaceFileButton;
class DbTemplate;
class IUserPrompt;

class CEditByType : public QDialog
{
public:
    // dbTemplate may be null (the check then reports an internal error).
    // Include and file defaults are browsed below workingDir.
    CEditByType(const DbVariable& variable, DbTemplate* dbTemplate, IUserPrompt& prompt, const std::string& workingDir,
                QWidget* parent);

    DbVariable Result() const;
    CInPlaceFileButton* DefaultValueField() const { return m_defaultValue; }
    QComboBox* TypeChoice() const { return m_type; }
    void accept() override;

private:
    // The browse button follows the chosen type.
    void TypeChosen();

    DbVariable m_original;
    DbTemplate* m_template;
    IUserPrompt& m_prompt;
    QLineEdit* m_name;
    QComboBox* m_class;
    QComboBox* m_type;
    QLineEdit* m_description;
    CInPlaceFileButton* m_defaultValue;
};

} // namespace mw
