// Chooses and reads the picture of a selected file. A built texture is
// preferred over its sources, so the preview shows what the game will load.
#include "AssetPreview.h"

#include "TargaImage.h"
#include "TexelDecoding.h"
#include "assets/Asset.h"
#include "assets/AssetReader.h"
#include "assets/AssetRegistry.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {
namespace {

// 87528 -> "87,528".
std::string GroupedNumber(uint64_t value)
{
    std::string digits = std::to_string(value);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(size_t(at), ",");
    return digits;
}

std::string KindName(TextureFile::Kind kind)
{
    switch (kind)
    {
    case TextureFile::Kind::CubeMap:
        return "cube map";
    case TextureFile::Kind::Animated:
        return "animated texture";
    case TextureFile::Kind::Texture:
        break;
    }
    return "texture";
}

} // namespace

std::string AssetPreview::BuiltOutputPath(const std::string& buildDir, const std::string& relativePath)
{
    std::string path = ToForwardSlashes(relativePath);
    size_t assets = ToLowerAscii(path).find("assets/");
    if (assets != std::string::npos && (assets == 0 || path[assets - 1] == '/'))
        path.replace(assets, std::string("assets/").size(), "resources/");
    return buildDir + path;
}

void AssetPreview::Clear()
{
    m_images = 0;
    m_builtTexture = false;
    m_texture = TextureFile();
    m_pictures.clear();
    m_pictureNames.clear();
    m_pictureBytes.clear();
    m_kindName.clear();
    m_message.clear();
}

bool AssetPreview::LoadImageFile(const std::string& fullPath)
{
    Clear();
    if (ToLowerAscii(Extension(fullPath)) != "tga")
        return false;
    if (!LoadSourceImages({fullPath}, {std::string()}))
        return false;
    m_message = "Source image " + ShortName(fullPath);
    return true;
}

bool AssetPreview::LoadSourceImages(const std::vector<std::string>& fullPaths, const std::vector<std::string>& names)
{
    for (size_t i = 0; i < fullPaths.size(); ++i)
    {
        std::string bytes;
        std::string error;
        PreviewImage picture;
        if (!ReadWholeFile(fullPaths[i], bytes))
            error = "file not found";
        else if (!ReadTargaImage(bytes, picture, error))
            error = error.empty() ? "not an image" : error;
        if (!error.empty())
        {
            Clear();
            m_message = "Cannot show " + ShortName(fullPaths[i]) + ": " + error;
            return false;
        }
        m_pictures.push_back(std::move(picture));
        m_pictureNames.push_back(names[i]);
        m_pictureBytes.push_back(bytes.size());
    }
    m_images = uint32_t(m_pictures.size());
    m_kindName = "source image";
    return m_images > 0;
}

bool AssetPreview::Load(IWorkspaceContext& context, const AssetRegistry& registry, const std::string& relativePath,
                        bool mayReadAsset)
{
    Clear();
    std::string extension = ToLowerAscii(Extension(relativePath));
    std::string fullPath = context.GetWorkingDir() + relativePath;
    if (extension == "tga")
        return LoadImageFile(fullPath);
    if (extension != "tex" && extension != "fnt")
        return false;

    std::string outputPath = BuiltOutputPath(context.GetBuildDir(), relativePath);
    std::string builtError;
    if (PathExists(outputPath))
    {
        if (extension == "tex")
        {
            if (m_texture.ReadFile(outputPath, builtError))
            {
                m_builtTexture = true;
                m_images = m_texture.ImageCount();
                m_kindName = KindName(m_texture.GetKind());
                m_message = "Built " + m_kindName + " " + ToForwardSlashes(outputPath);
                return true;
            }
        }
        else
        {
            std::string bytes;
            FontAtlasFile font;
            if (!ReadWholeFile(outputPath, bytes))
                builtError = "cannot read the file";
            else if (font.Read(bytes, builtError))
            {
                m_pictures.push_back(std::move(font.atlas));
                m_pictureNames.push_back(std::string());
                m_pictureBytes.push_back(bytes.size());
                m_images = 1;
                m_kindName = "font atlas";
                m_message = Format("Built font %s, %u px, %u glyphs", ToForwardSlashes(outputPath).c_str(), font.size,
                                   font.glyphCount);
                return true;
            }
        }
        builtError = "Cannot show " + ShortName(outputPath) + ": " + builtError;
    }
    if (extension == "fnt")
    {
        m_message = builtError.empty() ? "Not built yet: build the font to see its atlas" : builtError;
        return false;
    }

    // Not built (or not readable): the asset's source images, when it has them.
    std::string assetBytes;
    uint32_t typeKey = 0;
    AssetHeader header;
    Asset* asset = nullptr;
    if (mayReadAsset && ReadWholeFile(fullPath, assetBytes))
    {
        AssetReader reader(assetBytes);
        if (AssetRegistry::ReadAssetHeader(reader, typeKey, header))
        {
            asset = registry.FindType(typeKey);
            if (asset && !asset->Load(reader))
                asset = nullptr;
        }
    }
    std::vector<std::string> sources;
    std::vector<std::string> names;
    static const char* const kFaces[6] = {"Left", "Right", "Up", "Down", "Front", "Back"};
    int count = asset ? asset->GetSourceCount() : 0;
    for (int i = 0; i < count; ++i)
    {
        std::optional<std::string> source = asset->GetSourceFile(i);
        if (!source || source->empty() || ToLowerAscii(Extension(*source)) != "tga")
            continue;
        sources.push_back(context.GetSourceDir() + *source);
        names.push_back(count == 6 ? kFaces[i] : (sources.size() > 1 ? "Frame " + std::to_string(i + 1) : ""));
    }
    std::string why = builtError.empty() ? "Not built yet" : builtError;
    if (sources.empty())
    {
        m_message = why;
        return false;
    }
    if (!LoadSourceImages(sources, names))
        return false;
    m_message = why + ": showing the source image" + (m_images > 1 ? "s" : "");
    return true;
}

std::string AssetPreview::ImageName(uint32_t image) const
{
    if (m_builtTexture)
        return m_texture.ImageName(image);
    return image < m_pictureNames.size() ? m_pictureNames[image] : std::string();
}

uint32_t AssetPreview::LevelForSide(uint32_t side) const
{
    if (!m_builtTexture)
        return 0;
    uint32_t level = 0;
    while (level + 1 < m_texture.LevelCount() &&
           (m_texture.LevelWidth(level) > side || m_texture.LevelHeight(level) > side))
        ++level;
    return level;
}

bool AssetPreview::Picture(uint32_t image, uint32_t level, PreviewImage& picture) const
{
    if (m_builtTexture)
        return m_texture.Decode(image, level, picture);
    if (image >= m_pictures.size() || level != 0)
        return false;
    picture = m_pictures[image];
    return true;
}

std::string AssetPreview::Description(uint32_t image, uint32_t level) const
{
    if (m_builtTexture)
    {
        if (image >= m_texture.ImageCount() || level >= m_texture.LevelCount())
            return std::string();
        std::string text = Format("%ux%u, %s", m_texture.Width(), m_texture.Height(),
                                  TexelFormatName(m_texture.FormatCode()).c_str());
        if (m_texture.IsNormalMap())
            text += ", normal map";
        if (m_texture.ImageCount() > 1)
            text += Format(", %u images", m_texture.ImageCount());
        text += Format(", level %u of %u (%ux%u, %s bytes), file %s bytes", level + 1, m_texture.LevelCount(),
                       m_texture.LevelWidth(level), m_texture.LevelHeight(level),
                       GroupedNumber(m_texture.LevelBytes(image, level).size()).c_str(),
                       GroupedNumber(m_texture.FileBytes()).c_str());
        return text;
    }
    if (image >= m_pictures.size())
        return std::string();
    return Format("%ux%u, %s, %s bytes", m_pictures[image].width, m_pictures[image].height, m_kindName.c_str(),
                  GroupedNumber(m_pictureBytes[image]).c_str());
}

} // namespace mw
