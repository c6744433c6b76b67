// The document base.
#include "DbDocument.h"

#include "platform/PathRules.h"

#include <algorithm>

namespace mw {

DbDocument::DbDocument(const std::string& dialogFilter) : m_fileState(std::make_unique<DbFileState>(*this, dialogFilter))
{
}

DbDocument::~DbDocument() = default;

void DbDocument::SetEditor(IDocumentEditor* editor)
{
    m_editor = editor;
    m_fileState->SetEditor(editor);
}

std::string DbDocument::NormaliseHistoryEntry(const std::string& path)
{
    return RemoveFirstNoCase(ToBackslashes(path), "database\\");
}

void DbDocument::AddHistoryEntry(const std::string& path) { m_history.push_back(NormaliseHistoryEntry(path)); }

bool DbDocument::HasHistoryEntry(const std::string& path) const
{
    std::string candidate = RemoveFirstNoCase(path, "database\\");
    return std::find(m_history.begin(), m_history.end(), candidate) != m_history.end();
}

bool DbDocument::IsKeyword(const std::string& token) const
{
    return std::find(m_keywords.begin(), m_keywords.end(), token) != m_keywords.end();
}

} // namespace mw
