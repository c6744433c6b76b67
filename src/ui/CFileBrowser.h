// Picks a game resource or record by name out of the built archives,
// without unpacking them: a filterable list of the archives' entries.
#pragma once

#include "app/BrowsableFiles.h"

#include <QDialog>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

namespace mw {

class CFileBrowser : public QDialog
{
    Q_OBJECT
public:
    // extensions: ","-separated ("tex,msh"; "dbr" for records), empty for
    // every file; modName empty for the game's own data.
    CFileBrowser(const BrowseFolders& folders, const std::string& modName, const std::string& extensions,
                 QWidget* parent = nullptr);

    // The chosen record name or archive entry path; empty when none.
    std::string ChosenName() const;
    // The chosen file's path as the game resolves it (BrowsableFile::GamePath).
    std::string ChosenGamePath() const;
    // The archive the chosen entry is in.
    std::string ChosenArchive() const;
    const std::vector<BrowsableFile>& Files() const { return m_files; }
    QListWidget* List() const { return m_list; }
    QLineEdit* Filter() const { return m_filter; }

private:
    void ApplyFilter(const QString& text);

    std::vector<BrowsableFile> m_files;
    QLineEdit* m_filter;
    QListWidget* m_list;
};

} // namespace mw
