// The frame of every asset properties dialog: a form of labelled fields,
// file fields with a browse button that picks a file below the source
// folder, check boxes, lists, and OK/Cancel.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLineEdit;

namespace mw {

class CAssetPropertiesDialog : public QDialog
{
    Q_OBJECT
public:
    // sourceRoot is the folder the browse buttons are confined to.
    CAssetPropertiesDialog(const QString& title, const std::string& sourceRoot, QWidget* parent = nullptr);

    // A line field with a browse button; filters are Qt name filters.
    QLineEdit* AddFileField(const QString& label, const std::string& value, const QStringList& filters);
    QLineEdit* AddTextField(const QString& label, const std::string& value);
    QCheckBox* AddCheck(const QString& text, bool checked);
    QComboBox* AddList(const QString& label, const QStringList& items, int current);
    // A titled group below the fields, for a type's extra controls.
    QGroupBox* AddGroup(const QString& title);
    // Adds OK and Cancel; call after the fields. check runs on OK and may
    // refuse it (with its own message).
    void Finish(std::function<bool()> check = {});

    // Picks a file below the source folder; false when cancelled.
    bool BrowseSource(const QStringList& filters, std::string& relativePath);
    // Replaces how BrowseSource asks (tests).
    void SetBrowser(std::function<bool(const QStringList&, std::string&)> browser) { m_browser = std::move(browser); }

    static std::string Text(const QLineEdit* field);

private:
    std::string m_sourceRoot;
    QFormLayout* m_form;
    std::function<bool(const QStringList&, std::string&)> m_browser;
};

// The Qt form of a filter given as a label and a ";"-separated pattern
// ("Bitmap (*.psd, *.tga)" and "*.psd;*.tga" give "Bitmap (*.psd *.tga)").
QString QtNameFilter(const std::string& label, const std::string& pattern);

} // namespace mw
