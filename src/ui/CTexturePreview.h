// The preview pane beside a tab's file list: the picture of the selected
// texture, bitmap, cube map, font or source image, on a checkerboard where
// it is transparent, with its image and mipmap level to choose and a line
// giving its size, format and bytes. The reading is the core's; this only
// paints.
#pragma once

#include "assets/preview/AssetPreview.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <string>

class QComboBox;
class QLabel;

namespace mw {

class AssetRegistry;
class IWorkspaceContext;

class CTexturePreview : public QWidget
{
    Q_OBJECT
public:
    // mayReadAsset tells whether asset files may be read through the
    // registry now (not while an operation runs on the worker thread).
    CTexturePreview(IWorkspaceContext& context, const AssetRegistry& registry, std::function<bool()> mayReadAsset,
                    QWidget* parent = nullptr);

    // Shows the file at relativePath (relative to the working folder), or
    // clears the pane for an empty path or a file without a picture.
    void ShowFile(const std::string& relativePath);
    // Reads the shown file again (it changed on disk, or a build ended).
    void Reload();

    const std::string& ShownFile() const { return m_path; }
    QString Caption() const;
    QString Details() const;
    int ImageChoiceCount() const;
    int LevelChoiceCount() const;
    void ChooseImage(int image);
    void ChooseLevel(int level);

    // Draws image over a checkerboard, scaled to fit side x side, for thumbnails.
    static QImage OnCheckerboard(const QImage& image, int side);
    static QImage ToQImage(const PreviewImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ShowChoice();
    QRect PictureArea() const;

    IWorkspaceContext& m_context;
    const AssetRegistry& m_registry;
    std::function<bool()> m_mayReadAsset;
    AssetPreview m_preview;
    std::string m_path;
    QImage m_image;
    QLabel* m_caption;
    QLabel* m_details;
    QComboBox* m_imageChoice;
    QComboBox* m_levelChoice;
    bool m_filling = false;
};

} // namespace mw
