// The file operations built on the system's own: text saves with CR LF line
// ends and copies that keep the source's last-write time.
#include "FileSystem.h"

namespace mw {

std::string ToCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i)
    {
        char c = text[i];
        if (c == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += c;
    }
    return out;
}

bool WriteTextFileAtomic(const std::string& path, std::string_view text)
{
    return WriteFileAtomic(path, ToCrLf(text));
}

bool CopyFileKeepTime(const std::string& source, const std::string& target)
{
    std::string bytes;
    FileTime time;
    if (!ReadWholeFile(source, bytes, time))
        return false;
    return WriteFileAtomic(target, bytes) && SetLastWriteTime(target, time);
}

bool OverwriteFileKeepTime(const std::string& source, const std::string& target)
{
    std::string bytes;
    FileTime time;
    return ReadWholeFile(source, bytes, time) && OverwriteFileWithTime(target, bytes, time);
}

} // namespace mw
