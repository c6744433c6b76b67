// The New dialog: a new template, or a new record of a template chosen by
// name (typed, or browsed below the working folder).
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QRadioButton;

namespace mw {

class CInPlaceFileButton;

class CNewDocumentDialog : public QDialog
{
public:
    CNewDocumentDialog(const std::string& workingDir, QWidget* parent);

    bool WantsTemplate() const;
    std::string TemplateName() const;
    QRadioButton* TemplateChoice() const { return m_template; }
    QRadioButton* RecordChoice() const { return m_record; }
    CInPlaceFileButton* TemplateField() const { return m_templateName; }

private:
    QRadioButton* m_template;
    QRadioButton* m_record;
    CInPlaceFileButton* m_templateName;
};

} // namespace mw
