// The database text tokenizer.
#include "DbTextReader.h"

#include <algorithm>
#include <cstring>

namespace mw {
namespace {

// The bytes the C locale's ispunct accepts, less '-', '.' and '_', which are word bytes.
constexpr const char* kPunctuation = "!\"#$%&'()*+,/:;<=>?@[\\]^`{|}~";

constexpr unsigned char kSpaceClass = 1;
constexpr unsigned char kPunctuationClass = 2;

// The class of every byte value, looked up once per byte of a file.
struct ByteClasses
{
    unsigned char classes[256] = {};
    constexpr ByteClasses()
    {
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'})
            classes[c] = kSpaceClass;
        for (const char* p = kPunctuation; *p; ++p)
            classes[static_cast<unsigned char>(*p)] = kPunctuationClass;
    }
};
constexpr ByteClasses kByteClasses;

unsigned char ClassOf(char c) { return kByteClasses.classes[static_cast<unsigned char>(c)]; }

} // namespace

bool DbTextReader::IsSpaceByte(char c) { return ClassOf(c) == kSpaceClass; }

bool DbTextReader::IsPunctuationByte(char c) { return ClassOf(c) == kPunctuationClass; }

DbTextReader::DbTextReader(const char* text, size_t length, std::vector<std::string> definedSymbols, bool stripQuotes)
    : m_definedSymbols(std::move(definedSymbols)), m_stripQuotes(stripQuotes), m_text(text), m_length(text ? length : 0)
{
}

void DbTextReader::StepOver(size_t count)
{
    size_t end = std::min(m_length, m_position + count);
    m_lineCount += int(std::count(m_text + m_position, m_text + end, '\n'));
    m_position = end;
}

void DbTextReader::SkipSpaceAndComments()
{
    for (;;)
    {
        for (; m_position < m_length && IsSpaceByte(m_text[m_position]); ++m_position)
            if (m_text[m_position] == '\n')
                ++m_lineCount;
        if (m_length - m_position < 2 || m_text[m_position] != '/')
            return;
        char next = m_text[m_position + 1];
        if (next == '/')
        {
            while (m_position < m_length && m_text[m_position] != '\n')
                ++m_position;
        }
        else if (next == '*')
        {
            // The closing pair is looked for from two bytes after the opening
            // pair on, so "/**/" is complete and "/*/" is not.
            m_position += 2;
            size_t searchFrom = m_position;
            while (m_position < m_length)
            {
                StepOver(1);
                if (m_position >= searchFrom + 2 && m_text[m_position - 2] == '*' && m_text[m_position - 1] == '/')
                    break;
            }
        }
        else
            return;
    }
}

bool DbTextReader::StartsWith(const char* word) const
{
    size_t n = std::strlen(word);
    return m_length - m_position >= n && std::memcmp(m_text + m_position, word, n) == 0;
}

DbTextReader::SkipStop DbTextReader::SkipBlock()
{
    int depth = 0;
    while (m_position < m_length)
    {
        if (m_text[m_position] != '#')
        {
            StepOver(1);
            continue;
        }
        if (StartsWith("#ifdef") || StartsWith("#ifndef"))
        {
            ++depth;
            m_position += StartsWith("#ifdef") ? 6 : 7;
        }
        else if (StartsWith("#endif"))
        {
            m_position += 6;
            if (depth == 0)
                return SkipStop::AtEndif;
            --depth;
        }
        else if (StartsWith("#else"))
        {
            m_position += 5;
            if (depth == 0)
                return SkipStop::AtElse;
        }
        else
            ++m_position;
    }
    return SkipStop::AtEndif;
}

bool DbTextReader::TryDirective()
{
    bool isIfdef = StartsWith("#ifdef");
    bool isIfndef = !isIfdef && StartsWith("#ifndef");
    if (isIfdef || isIfndef)
    {
        m_position += isIfdef ? 6 : 7;
        std::string symbol = NextToken();
        bool defined = std::find(m_definedSymbols.begin(), m_definedSymbols.end(), symbol) != m_definedSymbols.end();
        if (defined == isIfdef)
            ++m_openBlocks;
        else if (SkipBlock() == SkipStop::AtElse)
            ++m_openBlocks;
        return true;
    }
    if (StartsWith("#else"))
    {
        m_position += 5;
        if (SkipBlock() == SkipStop::AtElse)
            m_position = m_length;
        else if (m_openBlocks > 0)
            --m_openBlocks;
        return true;
    }
    if (StartsWith("#endif"))
    {
        m_position += 6;
        if (m_openBlocks > 0)
            --m_openBlocks;
        else
            m_position = m_length;
        return true;
    }
    return false;
}

bool DbTextReader::SkipToNextItem()
{
    for (;;)
    {
        SkipSpaceAndComments();
        if (m_position >= m_length)
            return false;
        if (m_text[m_position] == '#' && m_length - m_position >= 2 && TryDirective())
            continue;
        return true;
    }
}

void DbTextReader::SkipWord()
{
    while (m_position < m_length && ClassOf(m_text[m_position]) == 0)
        ++m_position;
}

std::string DbTextReader::NextToken() { return std::string(NextTokenView()); }

std::string DbTextReader::ReadDelimited(char opening, char closing, bool stripDelimiters)
{
    return std::string(ReadDelimitedView(opening, closing, stripDelimiters));
}

std::string_view DbTextReader::NextTokenView()
{
    if (!SkipToNextItem())
        return std::string_view();
    std::string_view token;
    char first = m_text[m_position];
    size_t start = m_position;
    if (first == '"')
    {
        StepOver(1);
        const void* quote = std::memchr(m_text + m_position, '"', m_length - m_position);
        StepOver(quote ? size_t(static_cast<const char*>(quote) - (m_text + m_position)) : m_length - m_position);
        bool closed = m_position < m_length;
        if (closed)
            ++m_position;
        if (m_stripQuotes)
            token = std::string_view(m_text + start + 1, (closed ? m_position - 1 : m_position) - (start + 1));
        else
            token = std::string_view(m_text + start, m_position - start);
    }
    else if (IsPunctuationByte(first))
    {
        ++m_position;
        token = std::string_view(m_text + start, 1);
    }
    else
    {
        SkipWord();
        token = std::string_view(m_text + start, m_position - start);
    }
    m_tokenLine = m_lineCount;
    SkipSpaceAndComments();
    return token;
}

std::string_view DbTextReader::ReadDelimitedView(char opening, char closing, bool stripDelimiters)
{
    if (!SkipToNextItem())
        return std::string_view();
    size_t start = m_position;
    char first = m_text[m_position];
    bool delimited = false;
    if (opening == 0 || first == opening)
    {
        delimited = true;
        StepOver(1);
        // Up to and including the closing byte, or to the end.
        const void* close = std::memchr(m_text + m_position, closing, m_length - m_position);
        StepOver(close ? size_t(static_cast<const char*>(close) - (m_text + m_position)) + 1 : m_length - m_position);
    }
    else if (IsPunctuationByte(first))
        ++m_position;
    else
        SkipWord();
    size_t end = m_position;
    SkipSpaceAndComments();

    size_t rawLength = end - start;
    if (delimited && stripDelimiters)
    {
        if (m_text[start] == opening && end > start)
            ++start;
        if (rawLength > 1 && end > start && m_text[end - 1] == closing)
            --end;
    }
    if (m_stripQuotes)
    {
        if (start < end && m_text[start] == '"')
            ++start;
        if (end > start && m_text[end - 1] == '"')
            --end;
    }
    return std::string_view(m_text + start, end - start);
}

} // namespace mw
