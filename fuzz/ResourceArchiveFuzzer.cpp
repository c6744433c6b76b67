// Opens arbitrary bytes as a resource archive through GAME::Archive, reads
// every entry and extracts it into a scratch folder that must stay the only
// place written. The table checksum is recomputed first whenever the header
// points into the input, so that mutations reach the entry table's checks
// instead of stopping at the checksum.
#include "platform/FileSystem.h"
#include "platform/engine/Archive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <zlib.h>

namespace {

// A scratch folder of this process, removed with its contents at exit.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = "/tmp/mwfuzzarc.XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_path = pattern + "/";
    }
    ~ScratchFolder() { mw::DeleteFolderTree(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

const std::string& Scratch()
{
    static const ScratchFolder folder;
    return folder.Path();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string archivePath = Scratch() + "input.arc";
    const std::string destination = Scratch() + "out/";
    std::string image(reinterpret_cast<const char*>(data), size);
    if (image.size() >= 32)
    {
        uint64_t tableOffset = 0;
        for (int i = 0; i < 8; ++i)
            tableOffset |= uint64_t(uint8_t(image[16 + size_t(i)])) << (8 * i);
        if (tableOffset >= 32 && tableOffset <= image.size())
        {
            uint32_t sum = uint32_t(adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(image.data() + tableOffset),
                                            uInt(image.size() - tableOffset)));
            for (int i = 0; i < 4; ++i)
                image[24 + size_t(i)] = char(sum >> (8 * i));
        }
    }
    if (!mw::WriteFileAtomic(archivePath, image))
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
