// A text field with a browse button: the cell editor of file and include
// values, and the browse control of the multiple-value editor. The chosen
// file becomes the text, made relative as the value's kind needs.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

class QLineEdit;
class QToolButton;

namespace mw {

class CInPlaceFileButton : public QWidget
{
public:
    enum class PathForm
    {
        // Relative to the mod, without the leading "database\" or "assets\".
        Relative,
        // "%TEMPLATE_DIR%" followed by the path below the working folder.
        TemplateDir,
    };

    // extensions: "tpl", "wav,mp3", or empty for all files.
    CInPlaceFileButton(const std::string& extensions, PathForm form, std::string workingDir, std::string modName,
                       QWidget* parent);

    // Changes what the button browses for (the variable's type changed).
    void SetKind(const std::string& extensions, PathForm form);

    QString Text() const;
    void SetText(const QString& text);
    QLineEdit* Field() const { return m_field; }
    QToolButton* Button() const { return m_button; }
    // The file dialog's filter, for example "Files (*.wav *.mp3)".
    QString Filter() const;
    // Replaces the file dialog (tests): given filter and start folder,
    // returns the chosen path or an empty string.
    void SetChooser(std::function<QString(const QString&, const QString&)> chooser) { m_chooser = std::move(chooser); }

    // Opens the file dialog and takes the chosen file.
    void Browse();
    // Opens the browser of the built archives and takes the chosen name.
    void BrowseArchives();

    // What picks a record or resource out of the built archives: given the
    // extensions and the mod, the chosen name as the archive lists it, or ""
    // when cancelled. The application sets it once; without it the button
    // chooses files on disk only.
    using ArchiveBrowser =
        std::function<std::string(QWidget* parent, const std::string& extensions, const std::string& modName)>;
    static void SetArchiveBrowser(ArchiveBrowser browser);

    // What picks a folder of templates: given the folder to open at, the
    // chosen folder, or "" when cancelled. Set once by the application;
    // with it, template fields also offer "Template Folder...".
    using FolderBrowser = std::function<std::string(QWidget* parent, const std::string& current)>;
    static void SetTemplateFolderBrowser(FolderBrowser browser);
    // Opens the folder browser: the chosen folder becomes the field's text
    // (in its %TEMPLATE_DIR% form) and the place the next file browse opens at.
    void BrowseTemplateFolder();

private:
    // Values relative to the mod can also come from the built archives: the
    // button then opens them, and its menu offers the files on disk.
    // Template paths: the button browses files, its menu also offers a folder.
    void UpdateMenu();

    std::string m_extensions;
    PathForm m_form;
    std::string m_workingDir;
    std::string m_modName;
    QLineEdit* m_field;
    QToolButton* m_button;
    std::function<QString(const QString&, const QString&)> m_chooser;
};

} // namespace mw
