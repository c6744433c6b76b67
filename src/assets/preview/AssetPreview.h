// What the preview pane shows for a selected file: the pictures of a built
// texture, bitmap or cube map (every image and mipmap level), a font's glyph
// atlas, the source images of an asset not built yet, or a Targa source file;
// with one line saying what is shown.
#pragma once

#include "FontAtlasFile.h"
#include "PreviewImage.h"
#include "TextureFile.h"

#include <string>
#include <vector>

namespace mw {

class AssetRegistry;
class IWorkspaceContext;

class AssetPreview
{
public:
    // Loads the preview of the file at relativePath (relative to the working
    // folder): an asset file of the Assets tab or a source image. False when
    // there is nothing to show; Message() then says why, or is empty for a
    // file that has no picture at all. The asset file itself is read through
    // the registry's shared instances only when mayReadAsset is set: never
    // while an operation on the worker thread may be using them.
    bool Load(IWorkspaceContext& context, const AssetRegistry& registry, const std::string& relativePath,
              bool mayReadAsset);
    // The same for a file given by its full path, not read as an asset.
    bool LoadImageFile(const std::string& fullPath);

    bool HasPicture() const { return m_images > 0; }
    uint32_t ImageCount() const { return m_images; }
    uint32_t LevelCount() const { return m_builtTexture ? m_texture.LevelCount() : (m_images > 0 ? 1 : 0); }
    // The name of an image ("Front", "Frame 2", "" for a single picture).
    std::string ImageName(uint32_t image) const;
    // The first mipmap level whose sides fit in side (the last when none
    // does): the level a thumbnail of that size decodes.
    uint32_t LevelForSide(uint32_t side) const;
    // Decodes one image at one mipmap level; false when out of range.
    bool Picture(uint32_t image, uint32_t level, PreviewImage& picture) const;
    // "256x256, DXT5, level 1 of 9 (128x128), 87,528 bytes" for the shown level.
    std::string Description(uint32_t image, uint32_t level) const;
    // What is shown, or why nothing is: "Built texture: ...", "Not built
    // yet: the source image", "Cannot read ...".
    const std::string& Message() const { return m_message; }

    // Where the build puts the output of the asset file at relativePath.
    static std::string BuiltOutputPath(const std::string& buildDir, const std::string& relativePath);

private:
    void Clear();
    bool LoadSourceImages(const std::vector<std::string>& fullPaths, const std::vector<std::string>& names);

    uint32_t m_images = 0;
    bool m_builtTexture = false;
    TextureFile m_texture;
    // Pictures read whole (a font atlas, source images): one level each.
    std::vector<PreviewImage> m_pictures;
    std::vector<std::string> m_pictureNames;
    std::vector<size_t> m_pictureBytes;
    std::string m_kindName;
    std::string m_message;
};

} // namespace mw
