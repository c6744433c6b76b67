// The editor windows.
#include "CDbEditorManager.h"

#include "EditorPlacement.h"

#include "CDbEditor.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbEditorDocument.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {

CDbEditorManager::CDbEditorManager(IWorkspaceContext& workspace, std::string iniPath)
    : m_workspace(workspace), m_iniPath(std::move(iniPath))
{
}

CDbEditorManager::~CDbEditorManager()
{
    for (const QPointer<CDbEditor>& editor : m_editors)
        delete editor.data();
}

std::vector<CDbEditor*> CDbEditorManager::Editors() const
{
    std::vector<CDbEditor*> editors;
    for (const QPointer<CDbEditor>& editor : m_editors)
        if (editor)
            editors.push_back(editor.data());
    return editors;
}

CDbEditor* CDbEditorManager::NewEditor()
{
    std::erase_if(m_editors, [](const QPointer<CDbEditor>& editor) { return editor.isNull(); });
    auto* editor = new CDbEditor(m_workspace, m_iniPath);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    m_editors.emplace_back(editor);
    // Placed once shown, when the frame's decoration is known, so the whole
    // frame fits on the screen.
    editor->show();
    PlaceEditorWindow(*editor, m_iniPath);
    return editor;
}

CDbEditor* CDbEditorManager::FindEditorFor(const std::string& path) const
{
    std::string wanted = ToBackslashes(path);
    bool isRecord = EndsWith(wanted, "dbr");
    std::string templatePath;
    if (isRecord)
    {
        DbRecord record;
        if (record.FileState().Open(path, true) && !record.GetTemplateName().empty())
            templatePath = ResolvePath(ResolveTemplatePath(record.GetTemplateName(), m_workspace.GetWorkingDir()));
    }
    CDbEditor* empty = nullptr;
    for (CDbEditor* editor : Editors())
    {
        DbEditorDocument& document = editor->Document();
        switch (document.Mode())
        {
        case DbEditorMode::None:
            empty = empty ? empty : editor;
            break;
        case DbEditorMode::Template:
            if (!isRecord && ToBackslashes(document.Template().FileState().Path()) == wanted)
                return editor;
            break;
        case DbEditorMode::Record:
            if (isRecord && !templatePath.empty() && ResolvePath(document.Template().FileState().Path()) == templatePath)
                return editor;
            break;
        }
    }
    return empty;
}

CDbEditor* CDbEditorManager::OpenInDatabaseEditor(const std::string& path)
{
    if (!EndsWith(path, "dbr") && !EndsWith(path, "tpl"))
        return nullptr;
    CDbEditor* editor = FindEditorFor(path);
    if (!editor)
        editor = NewEditor();
    bool showsIt = editor->Document().Mode() == DbEditorMode::Template &&
                   ToBackslashes(editor->Document().Template().FileState().Path()) == ToBackslashes(path);
    if (!showsIt)
        editor->OpenFile(path);
    editor->show();
    editor->raise();
    editor->activateWindow();
    return editor;
}

bool CDbEditorManager::CloseAll(bool cancellable)
{
    for (CDbEditor* editor : Editors())
    {
        if (!editor->QueryClose(cancellable))
            return false;
        editor->CloseWithoutAsking();
    }
    return true;
}

} // namespace mw
