// A file-open dialog confined to a root folder: the user cannot leave the
// root, OK and the up-one-level button are disabled at the root itself, the
// folder label reads "Contents of " and the folder below the root, and the
// result is the chosen file relative to the root.
#pragma once

#include <QFileDialog>

#include <string>

class QLabel;
class QLineEdit;
class QToolButton;

namespace mw {

class CRootedFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    // root may use either separator and need not end in one. filters are
    // Qt name filters ("Shader File (*.SSH)"); the dialog opens at the
    // process's current folder when that lies inside the root, else at the root.
    CRootedFileDialog(const std::string& root, const QString& title, const QStringList& filters,
                      QWidget* parent = nullptr);

    // The chosen file relative to the root, with "\" separators as asset
    // files store source paths; empty before a file was accepted.
    std::string RelativePath() const { return m_relativePath; }
    // The root as a native folder path ending in "/".
    const QString& Root() const { return m_root; }

    // What the dialog shows, for its own checks and for tests.
    QString FolderLabelText() const;
    bool IsOkEnabled() const;
    bool IsUpEnabled() const;
    bool IsAtRoot() const;

    // The relative path of folder + file below root, or nothing when it lies outside.
    static bool RelativeBelow(const QString& root, const QString& path, QString& relative);

    // Whether the text of the name field (a name, a sub-path such as
    // "textures/rock.tga", or a whole path) names an existing file in a folder
    // below the root, or a folder below it, and so OK takes it.
    bool IsTypedTextAccepted() const;

public slots:
    void accept() override;

private:
    struct Target
    {
        enum Kind { None, File, Folder } kind = None;
        QString path;     // the existing file or folder
        QString relative; // below the root, with '/'
    };
    // What typed text names, read against the shown folder and then the root.
    Target TypedTarget(const QString& typed) const;
    void OnDirectoryEntered(const QString& folder);
    void UpdateControls();

    QString m_root;
    std::string m_relativePath;
    QLabel* m_folderLabel = nullptr;
    QToolButton* m_upButton = nullptr;
    QLineEdit* m_nameField = nullptr;
};

} // namespace mw
