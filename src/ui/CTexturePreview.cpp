// The preview pane: a caption, image and level choices, the picture and its details.
#include "CTexturePreview.h"

#include "context/IWorkspaceContext.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>
#include <cstring>

namespace mw {
namespace {

QString ToQt(const std::string& text) { return QString::fromUtf8(text); }

void PaintCheckerboard(QPainter& painter, const QRect& area)
{
    constexpr int kSquare = 8;
    painter.fillRect(area, QColor(204, 204, 204));
    for (int y = area.top(); y <= area.bottom(); y += kSquare)
        for (int x = area.left() + ((y - area.top()) / kSquare % 2) * kSquare; x <= area.right(); x += 2 * kSquare)
            painter.fillRect(QRect(x, y, kSquare, kSquare).intersected(area), QColor(255, 255, 255));
}

// The largest rectangle of the image's shape inside bounds, centred; small
// pictures are shown at whole multiples so their texels stay sharp.
QRect FitRect(const QSize& image, const QRect& bounds)
{
    if (image.isEmpty() || bounds.isEmpty())
        return QRect();
    double scale = std::min(double(bounds.width()) / image.width(), double(bounds.height()) / image.height());
    if (scale >= 1.0)
        scale = std::floor(scale);
    QSize shown(std::max(1, int(image.width() * scale)), std::max(1, int(image.height() * scale)));
    return QRect(bounds.left() + (bounds.width() - shown.width()) / 2,
                 bounds.top() + (bounds.height() - shown.height()) / 2, shown.width(), shown.height());
}

} // namespace

CTexturePreview::CTexturePreview(IWorkspaceContext& context, const AssetRegistry& registry,
                                 std::function<bool()> mayReadAsset, QWidget* parent)
    : QWidget(parent), m_context(context), m_registry(registry), m_mayReadAsset(std::move(mayReadAsset)),
      m_caption(new QLabel), m_details(new QLabel), m_imageChoice(new QComboBox), m_levelChoice(new QComboBox)
{
    setObjectName(QStringLiteral("TexturePreview"));
    setMinimumWidth(220);
    m_caption->setWordWrap(true);
    m_details->setWordWrap(true);
    m_caption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_imageChoice->setToolTip(QStringLiteral("Face or frame"));
    m_levelChoice->setToolTip(QStringLiteral("Mipmap level"));
    auto* choices = new QHBoxLayout;
    choices->addWidget(m_imageChoice, 1);
    choices->addWidget(m_levelChoice, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addLayout(choices);
    layout->addStretch(1);
    layout->addWidget(m_details);
    connect(m_imageChoice, &QComboBox::currentIndexChanged, this, [this] { ShowChoice(); });
    connect(m_levelChoice, &QComboBox::currentIndexChanged, this, [this] { ShowChoice(); });
    ShowFile(std::string());
}

QImage CTexturePreview::ToQImage(const PreviewImage& picture)
{
    if (picture.width == 0 || picture.height == 0)
        return QImage();
    QImage image(int(picture.width), int(picture.height), QImage::Format_RGBA8888);
    for (uint32_t y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(int(y)), picture.At(0, y), size_t(picture.width) * 4);
    return image;
}

QImage CTexturePreview::OnCheckerboard(const QImage& image, int side)
{
    QImage out(side, side, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    QRect area = FitRect(image.size(), QRect(0, 0, side, side));
    PaintCheckerboard(painter, area);
    painter.drawImage(area, image);
    return out;
}

void CTexturePreview::ShowFile(const std::string& relativePath)
{
    m_path = relativePath;
    Reload();
}

void CTexturePreview::Reload()
{
    bool shown = !m_path.empty() && m_preview.Load(m_context, m_registry, m_path, m_mayReadAsset && m_mayReadAsset());
    if (m_path.empty())
        m_preview = AssetPreview();
    int keepImage = m_imageChoice->currentIndex();
    int keepLevel = m_levelChoice->currentIndex();
    m_filling = true;
    m_imageChoice->clear();
    m_levelChoice->clear();
    for (uint32_t i = 0; shown && i < m_preview.ImageCount(); ++i)
    {
        std::string name = m_preview.ImageName(i);
        m_imageChoice->addItem(ToQt(name.empty() ? "Image " + std::to_string(i + 1) : name));
    }
    for (uint32_t level = 0; shown && level < m_preview.LevelCount(); ++level)
        m_levelChoice->addItem(QStringLiteral("Level %1").arg(level + 1));
    // Reading the same file again keeps the face and level the user chose.
    if (keepImage >= 0 && keepImage < m_imageChoice->count())
        m_imageChoice->setCurrentIndex(keepImage);
    if (keepLevel >= 0 && keepLevel < m_levelChoice->count())
        m_levelChoice->setCurrentIndex(keepLevel);
    m_imageChoice->setVisible(m_imageChoice->count() > 1);
    m_levelChoice->setVisible(m_levelChoice->count() > 1);
    m_filling = false;
    m_caption->setText(ToQt(m_preview.Message()));
    ShowChoice();
}

void CTexturePreview::ShowChoice()
{
    if (m_filling)
        return;
    m_image = QImage();
    m_details->clear();
    uint32_t image = uint32_t(std::max(0, m_imageChoice->currentIndex()));
    uint32_t level = uint32_t(std::max(0, m_levelChoice->currentIndex()));
    PreviewImage picture;
    if (m_preview.HasPicture() && m_preview.Picture(image, level, picture))
    {
        m_image = ToQImage(picture);
        m_details->setText(ToQt(m_preview.Description(image, level)));
    }
    update();
}

QString CTexturePreview::Caption() const { return m_caption->text(); }
QString CTexturePreview::Details() const { return m_details->text(); }
int CTexturePreview::ImageChoiceCount() const { return m_imageChoice->count(); }
int CTexturePreview::LevelChoiceCount() const { return m_levelChoice->count(); }
void CTexturePreview::ChooseImage(int image) { m_imageChoice->setCurrentIndex(image); }
void CTexturePreview::ChooseLevel(int level) { m_levelChoice->setCurrentIndex(level); }

QRect CTexturePreview::PictureArea() const
{
    int top = m_levelChoice->isVisible() || m_imageChoice->isVisible() ? m_levelChoice->geometry().bottom()
                                                                        : m_caption->geometry().bottom();
    int bottom = m_details->geometry().top();
    return QRect(8, top + 8, width() - 16, bottom - top - 16);
}

void CTexturePreview::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter painter(this);
    QRect area = FitRect(m_image.size(), PictureArea());
    PaintCheckerboard(painter, area);
    painter.drawImage(area, m_image);
}

} // namespace mw
