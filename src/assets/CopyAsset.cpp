// The plain copy types' body and build.
#include "CopyAsset.h"

#include "AssetNames.h"
#include "AssetReader.h"
#include "AssetWriter.h"
#include "IAssetPropertiesEditor.h"
#include "assets/CompilerRun.h"
#include "context/IToolContext.h"
#include "platform/FileSystem.h"

#include <chrono>

namespace mw {
namespace {

FileTime CurrentFileTime()
{
    auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch - seconds);
    return FileTimeFromUnix(seconds.count(), nanoseconds.count());
}

} // namespace

bool CopyAsset::Properties(IAssetPropertiesEditor* editor, bool isNew)
{
    if (!editor)
        return false;
    std::vector<std::string> extensions;
    GetSourceExtensions(extensions);
    CopyProperties fields{m_source};
    if (!editor->EditCopySource(fields, SourceFilterLabel(GetName(), extensions), SourceFilterPattern(extensions),
                                isNew))
        return false;
    m_source = fields.source;
    m_outputName = OutputNameFromSource(m_source, GetOutputExtension());
    return true;
}

void CopyAsset::Reset()
{
    m_outputName.clear();
    m_source.clear();
}

bool CopyAsset::Load(AssetReader& file)
{
    std::array<char, 4> tag{};
    GetTag(tag);
    std::string read;
    if (!file.ReadBytes(4, read) || read != std::string_view(tag.data(), 4))
        return false;
    std::string source;
    if (!file.ReadBodyString(source))
        return false;
    m_source = std::move(source);
    return true;
}

bool CopyAsset::Save(AssetWriter& file) const
{
    std::array<char, 4> tag{};
    GetTag(tag);
    file.WriteBytes(std::string_view(tag.data(), 4));
    file.WriteBodyString(m_source);
    return true;
}

bool CopyAsset::Build(IToolContext& context, const std::string& outputPath)
{
    const std::string source = context.GetSourceDir() + m_source;
    EnsureOutputFolder(outputPath);
    MakeWritable(outputPath);
    // The copy takes the time it was made, so it is newer than its asset.
    std::string bytes;
    bool copied = ReadWholeFile(source, bytes) && WriteBuiltOutput(outputPath, bytes);
    if (!copied)
        context.Log("Error copying '" + source + "'", true, true);
    MakeWritable(outputPath);
    if (copied)
        SetLastWriteTime(outputPath, CurrentFileTime());
    return copied;
}

std::optional<std::string> CopyAsset::GetSourceFile(int index) const
{
    if (index != 0)
        return std::nullopt;
    return m_source;
}

bool CopyAsset::AutoCreate(const std::string& sourcePath)
{
    m_source = sourcePath;
    m_outputName = OutputNameFromSource(sourcePath, GetOutputExtension());
    return true;
}

} // namespace mw
