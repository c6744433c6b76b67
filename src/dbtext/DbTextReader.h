// The tokenizer behind the record and template text formats: C-style
// comments, double-quoted strings, one-byte punctuation tokens, words, a
// delimited-field read for record values, and #ifdef/#ifndef/#else/#endif
// evaluated against a list of defined symbols. It never fails and never
// reads outside its buffer; malformed text gives odd tokens or an early end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

class DbTextReader
{
public:
    // The text is not copied and need not be NUL-terminated; it must outlive the reader.
    DbTextReader(const char* text, size_t length, std::vector<std::string> definedSymbols, bool stripQuotes);

    // The next token, or an empty string at the end of the text (a quoted
    // "" also gives an empty string: callers tell the end by the position).
    std::string NextToken();
    // The next field; an opening byte of 0 lets any byte open the field.
    std::string ReadDelimited(char opening, char closing, bool stripDelimiters);
    // The same two as views into the text, valid as long as the text is.
    std::string_view NextTokenView();
    std::string_view ReadDelimitedView(char opening, char closing, bool stripDelimiters);

    size_t Position() const { return m_position; }
    size_t Length() const { return m_length; }
    bool AtEnd() const { return m_position >= m_length; }
    int LineCount() const { return m_lineCount; }
    int TokenLine() const { return m_tokenLine; }
    int OpenBlocks() const { return m_openBlocks; }

    static bool IsSpaceByte(char c);
    static bool IsPunctuationByte(char c);

private:
    enum class SkipStop
    {
        AtEndif,
        AtElse,
    };

    void SkipSpaceAndComments();
    // Skips space, comments and directives; false at the end of the text.
    bool SkipToNextItem();
    void SkipWord();
    // At a '#' with at least one byte after it: handles a directive and
    // returns true, or returns false when the '#' begins none.
    bool TryDirective();
    bool StartsWith(const char* word) const;
    SkipStop SkipBlock();
    void StepOver(size_t count);

    std::vector<std::string> m_definedSymbols;
    bool m_stripQuotes;
    const char* m_text;
    size_t m_length;
    size_t m_position = 0;
    int m_lineCount = 1;
    int m_tokenLine = 1;
    int m_openBlocks = 0;
};

} // namespace mw
