// Opens arbitrary bytes as a resource archive through GAME::Archive, reads
// every entry and extracts it into a scratch folder that must stay the only
// place written.
#include "platform/FileSystem.h"
#include "platform/engine/Archive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchFolder()
{
    static const std::string folder = [] {
        std::string pattern = "/tmp/mwfuzzarc.XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern + "/";
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string archivePath = ScratchFolder() + "input.arc";
    const std::string destination = ScratchFolder() + "out/";
    if (!mw::WriteFileAtomic(archivePath, std::string_view(reinterpret_cast<const char*>(data), size)))
        return 0;
    GAME::Archive archive;
    if (archive.Open(archivePath.c_str(), 1))
    {
        mw::EnsureFolders(destination);
        std::vector<int> found;
        archive.FindMatchingFilesEnd(found, ".tex");
        for (int i = 0; i < archive.GetNumFiles(); ++i)
        {
            GAME::FileEntry entry = archive.GetFileEntry(i);
            if (entry.name && entry.size <= (1u << 20))
                archive.ExtractFileToDisk(i, destination.c_str());
        }
        archive.Close(false);
        mw::DeleteFolderTree(destination);
    }
    return 0;
}
