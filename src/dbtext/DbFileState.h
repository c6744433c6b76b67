// The file binding of a record or template: open, save, save-as, the save
// prompt, and the modified and read-only rules, with messages through the
// prompt interface.
#pragma once

#include <string>

namespace mw {

class DbDocument;
class IDocumentEditor;
class IUserPrompt;

class DbFileState
{
public:
    DbFileState(DbDocument& owner, std::string dialogFilter);

    // Reads the file into the owner; 1 on success. A quiet open shows no
    // message and is never refused as read-only when saved.
    int Open(const std::string& path, bool quiet);
    // Open with the file's bytes already read by the caller.
    int OpenImage(const std::string& path, const std::string& bytes, bool quiet);
    int Save();
    int SaveAs();
    // Asks whether to save a modified document before it is replaced; 1 to go on.
    int PromptSave(const std::string& path, bool sameFileCheck);
    int New(const std::string& extension);
    void Reset();

    bool IsReadOnly();
    bool IsModified() const;
    void SetModified(bool modified) { m_modified = modified; }

    const std::string& ShortName() const { return m_shortName; }
    const std::string& Path() const { return m_path; }
    bool HasFile() const { return m_hasFile; }
    bool IsQuiet() const { return m_quiet; }
    const std::string& DialogFilter() const { return m_dialogFilter; }

    void SetEditor(IDocumentEditor* editor) { m_editor = editor; }
    // Where messages go; without one they are written to standard error.
    void SetPrompt(IUserPrompt* prompt) { m_prompt = prompt; }

private:
    IUserPrompt& Prompt() const;
    void ShowError(const std::string& text) const;

    IDocumentEditor* m_editor = nullptr;
    std::string m_shortName;
    std::string m_path;
    std::string m_untitledBase = "Untitled";
    bool m_hasFile = false;
    bool m_quiet = false;
    bool m_modified = false;
    DbDocument& m_owner;
    std::string m_dialogFilter;
    IUserPrompt* m_prompt = nullptr;
};

} // namespace mw
