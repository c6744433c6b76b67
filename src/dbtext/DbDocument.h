// The document base of records and templates: the reader's keyword list, the
// file binding, the owning editor and the file-name history (earlier
// database-relative paths of the file).
#pragma once

#include "DbFileState.h"

#include <memory>
#include <string>
#include <vector>

namespace mw {

class IDocumentEditor;

class DbDocument
{
public:
    explicit DbDocument(const std::string& dialogFilter);
    virtual ~DbDocument();
    DbDocument(const DbDocument&) = delete;
    DbDocument& operator=(const DbDocument&) = delete;

    // Parses a whole file image; 1 on success, 0 on failure.
    virtual int Read(const char* bytes, size_t length) = 0;
    // Appends the text form (LF line ends); 1 on success.
    virtual int Write(std::string& text) const = 0;
    // Empties the document before a read; 1 on success.
    virtual int Clear() = 0;

    IDocumentEditor* Editor() const { return m_editor; }
    void SetEditor(IDocumentEditor* editor);
    DbFileState& FileState() { return *m_fileState; }
    const DbFileState& FileState() const { return *m_fileState; }

    // Entries are stored with '/' made '\' and the first "database\" removed.
    void AddHistoryEntry(const std::string& path);
    // The candidate, its first "database\" removed, equals an entry exactly.
    bool HasHistoryEntry(const std::string& path) const;
    size_t HistoryCount() const { return m_history.size(); }
    void ClearHistory() { m_history.clear(); }
    const std::vector<std::string>& History() const { return m_history; }

    // Normalises a path the way history entries are stored.
    static std::string NormaliseHistoryEntry(const std::string& path);

protected:
    void SetKeywords(std::vector<std::string> keywords) { m_keywords = std::move(keywords); }
    bool IsKeyword(const std::string& token) const;

private:
    IDocumentEditor* m_editor = nullptr;
    std::vector<std::string> m_keywords;
    std::unique_ptr<DbFileState> m_fileState;
    std::vector<std::string> m_history;
};

} // namespace mw
