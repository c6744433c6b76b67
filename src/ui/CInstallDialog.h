// The install dialog: extracts an archive that comes with the tool into a
// workspace folder on a thread of its own, with a progress bar, the file
// being extracted and Cancel.
#pragma once

#include "app/ArchiveInstaller.h"
#include "platform/ManualResetEvent.h"

#include <QDialog>

#include <functional>
#include <set>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

namespace mw {

class IUserPrompt;

class CInstallDialog : public QDialog
{
    Q_OBJECT
public:
    CInstallDialog(std::string archivePath, std::string destination, IUserPrompt& prompt, QWidget* parent = nullptr);
    ~CInstallDialog() override;

    // Opens the archive and runs the extraction; Accepted when every entry
    // was installed, Rejected after a cancel, a failure or an archive that
    // could not be opened (each with its message).
    int exec() override;
    ArchiveInstaller::Result Result() const { return m_result; }
    bool Opened() const { return m_opened; }
    // Entries to leave alone (the user's files that are kept), and the
    // number of entries written.
    void SetSkipped(std::set<std::string> names) { m_installer.SetSkipped(std::move(names)); }
    int Written() const { return m_installer.Written(); }

    QProgressBar* Progress() const { return m_progress; }
    QLabel* CurrentFile() const { return m_currentFile; }
    QPushButton* CancelButton() const { return m_cancelButton; }
    // Asks the extraction to stop before its next entry.
    void RequestCancel();
    // Called on the extraction's thread after each entry is written, with
    // the number of entries written so far (tests pace the extraction).
    void SetEntryHook(std::function<void(int)> hook) { m_entryHook = std::move(hook); }

public slots:
    void reject() override;

private:
    void OnProgress(const QString& name, int percent);
    void OnFinished();

    std::string m_archivePath;
    std::string m_destination;
    IUserPrompt& m_prompt;
    ArchiveInstaller m_installer;
    ManualResetEvent m_cancel;
    std::thread m_thread;
    std::function<void(int)> m_entryHook;
    ArchiveInstaller::Result m_result = ArchiveInstaller::Result::Failed;
    bool m_opened = false;
    bool m_running = false;
    QLabel* m_currentFile;
    QProgressBar* m_progress;
    QPushButton* m_cancelButton;
};

} // namespace mw
