// The Database Editor windows of the application: the one entry point the
// main frame and the database tab use to open files in an editor, and the
// closing of every editor when the frame closes.
#pragma once

#include <QPointer>

#include <string>
#include <vector>

namespace mw {

class CDbEditor;
class IWorkspaceContext;

class CDbEditorManager
{
public:
    // iniPath: the Tools.ini that keeps the editors' Database settings.
    CDbEditorManager(IWorkspaceContext& workspace, std::string iniPath);
    ~CDbEditorManager();
    CDbEditorManager(const CDbEditorManager&) = delete;
    CDbEditorManager& operator=(const CDbEditorManager&) = delete;

    // Opens a ".tpl" or ".dbr" file: in the window that already shows it,
    // a record in the window that shows records of its template, else in an
    // empty window or a new one. The window is shown and raised; null when
    // the file is of another kind.
    CDbEditor* OpenInDatabaseEditor(const std::string& path);
    // An empty editor window (the frame's Database Editor command).
    CDbEditor* NewEditor();
    // Asks every editor to save and close; false when one stayed open (only
    // possible when cancellable).
    bool CloseAll(bool cancellable);
    std::vector<CDbEditor*> Editors() const;

private:
    CDbEditor* FindEditorFor(const std::string& path) const;

    IWorkspaceContext& m_workspace;
    std::string m_iniPath;
    std::vector<QPointer<CDbEditor>> m_editors;
};

} // namespace mw
