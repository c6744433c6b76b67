// Opening and saving records and templates.
#include "DbFileState.h"

#include "DbDocument.h"
#include "IDocumentEditor.h"
#include "context/IUserPrompt.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <iostream>

namespace mw {
namespace {

// Used when no prompt was given: messages go to standard error.
class StandardErrorPrompt : public IUserPrompt
{
public:
    PromptAnswer Show(const std::string& text, const std::string&, PromptButtons buttons, PromptIcon) override
    {
        std::cerr << text << std::endl;
        return NonInteractiveAnswer(buttons);
    }
    bool AskSavePath(const std::string&, const std::string&, const std::string&, std::string&) override
    {
        return false;
    }
};

} // namespace

DbFileState::DbFileState(DbDocument& owner, std::string dialogFilter)
    : m_owner(owner), m_dialogFilter(std::move(dialogFilter))
{
}

IUserPrompt& DbFileState::Prompt() const
{
    static StandardErrorPrompt standardError;
    return m_prompt ? *m_prompt : standardError;
}

void DbFileState::ShowError(const std::string& text) const
{
    Prompt().Show(text, "", PromptButtons::Ok, PromptIcon::Error);
}

int DbFileState::Open(const std::string& path, bool quiet)
{
    if (m_hasFile && !m_quiet && IsModified() && !PromptSave(path, true))
        return 0;
    std::string shortName = mw::ShortName(path);
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
    {
        if (!quiet)
            ShowError("Failed to Open File: \"" + shortName + "\"");
        return 0;
    }
    return OpenImage(path, bytes, quiet);
}

int DbFileState::OpenImage(const std::string& path, const std::string& bytes, bool quiet)
{
    std::string shortName = mw::ShortName(path);
    int result = m_owner.Read(bytes.data(), bytes.size());
    if (result == 1)
    {
        m_hasFile = true;
        m_quiet = quiet;
        m_shortName = shortName;
        m_path = path;
    }
    return result;
}

int DbFileState::Save()
{
    if (m_hasFile)
    {
        bool readOnly = false;
        if (!GetReadOnly(m_path, readOnly))
            ShowError("File Error: " + m_path + " - " + LastErrorText());
        else if (readOnly && !m_quiet)
        {
            ShowError("File \"" + m_shortName + "\" is Read-Only.  Changes cannot be saved.");
            return 0;
        }
    }
    if (m_path.empty())
        return 0;
    std::string text;
    if (!m_owner.Write(text))
        return 0;
    if (!WriteTextFileAtomic(m_path, text))
        return 0;
    if (m_editor)
        m_editor->DocumentSaved(m_shortName);
    m_modified = false;
    return 1;
}

int DbFileState::SaveAs()
{
    std::string chosen;
    if (!Prompt().AskSavePath(m_shortName, m_dialogFilter, ParentPath(m_path), chosen))
        return 0;
    bool readOnly = false;
    if (PathExists(chosen) && GetReadOnly(chosen, readOnly) && readOnly)
    {
        ShowError("Save file is Read-Only.  Changes may not be saved.  Please choose another file");
        return 0;
    }
    m_shortName = mw::ShortName(chosen);
    m_path = chosen;
    int result = Save();
    if (result)
        m_hasFile = true;
    return result;
}

int DbFileState::PromptSave(const std::string& path, bool sameFileCheck)
{
    if (!IsModified() || m_quiet)
        return 1;
    if (sameFileCheck && path == m_path)
    {
        PromptAnswer answer = Prompt().Show(
            "Current file and file to be opened are the same.\nRevert to saved file?  All changes will be lost.", "",
            PromptButtons::YesNoCancel, PromptIcon::Question);
        return answer == PromptAnswer::Yes ? 1 : 0;
    }
    PromptAnswer answer = Prompt().Show("File \"" + m_shortName + "\" is Modified.  Save?", "",
                                        PromptButtons::YesNoCancel, PromptIcon::Question);
    if (answer == PromptAnswer::Yes)
        return (m_hasFile ? Save() : SaveAs()) ? 1 : 0;
    return answer == PromptAnswer::No ? 1 : 0;
}

int DbFileState::New(const std::string& extension)
{
    if (!m_owner.Clear())
        return 0;
    m_shortName = m_untitledBase + "." + extension;
    m_path.clear();
    m_hasFile = false;
    m_quiet = false;
    return 1;
}

void DbFileState::Reset()
{
    m_hasFile = false;
    m_quiet = false;
    m_shortName.clear();
    m_path.clear();
    m_untitledBase = "Untitled";
    m_dialogFilter.clear();
}

bool DbFileState::IsReadOnly()
{
    if (!m_hasFile)
        return false;
    bool readOnly = false;
    if (!GetReadOnly(m_path, readOnly))
    {
        ShowError("File Error: " + m_path + " - " + LastErrorText());
        return false;
    }
    return readOnly;
}

bool DbFileState::IsModified() const
{
    return m_modified || (m_editor && m_editor->HasUndoableActions(m_shortName));
}

} // namespace mw
