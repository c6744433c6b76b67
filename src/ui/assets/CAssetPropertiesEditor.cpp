// The dialog of each asset type.
#include "CAssetPropertiesEditor.h"

#include "CAssetPropertiesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>

namespace mw {
namespace {

const QString kImageFilter = QStringLiteral("Image File (*.psd *.tga)");
const QString kSceneFilter = QStringLiteral("3D Studio MAX File (*.MAX)");

// A file field's text as the type stores it: folders with "\".
std::string SourcePath(const QLineEdit* field)
{
    std::string path = CAssetPropertiesDialog::Text(field);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

} // namespace

bool CAssetPropertiesEditor::EditTexture(TextureProperties& fields, bool)
{
    CAssetPropertiesDialog dialog(QStringLiteral("Texture Properties"), m_sourceRoot, m_parent);
    QLineEdit* source = dialog.AddFileField(QStringLiteral("Source:"), fields.source, {kImageFilter});
    QComboBox* format = dialog.AddList(QStringLiteral("Format:"),
                                       {QStringLiteral("Uncompressed"), QStringLiteral("DXT1 (no alpha)"),
                                        QStringLiteral("DXT3 (explicit alpha)"),
                                        QStringLiteral("DXT5 (interpolated alpha)"), QStringLiteral("DSDT")},
                                       int(fields.format));
    QCheckBox* mipmaps = dialog.AddCheck(QStringLiteral("Create mipmaps"), fields.createMipmaps);
    QCheckBox* normalMap = dialog.AddCheck(QStringLiteral("Normal map"), fields.normalMap);

    QGroupBox* animated = dialog.AddGroup(QStringLiteral("Animated Texture Properties"));
    auto* grid = new QGridLayout(animated);
    grid->addWidget(new QLabel(QStringLiteral("Additional Source Frames:")), 0, 0, 1, 2);
    auto* frames = new QListWidget;
    frames->setObjectName(QStringLiteral("frames"));
    for (const std::string& frame : fields.frames)
        frames->addItem(QString::fromStdString(frame));
    frames->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->addWidget(frames, 1, 0, 4, 1);
    auto* add = new QPushButton(QStringLiteral("Add"));
    auto* remove = new QPushButton(QStringLiteral("Remove"));
    auto* clear = new QPushButton(QStringLiteral("Clear"));
    grid->addWidget(add, 1, 1);
    grid->addWidget(remove, 2, 1);
    grid->addWidget(clear, 3, 1);
    auto* fpsRow = new QHBoxLayout;
    fpsRow->addWidget(new QLabel(QStringLiteral("FPS")));
    auto* fps = new QSpinBox;
    fps->setRange(1, 1000);
    fps->setValue(int(fields.framesPerSecond == 0 ? 20 : fields.framesPerSecond));
    fpsRow->addWidget(fps);
    fpsRow->addStretch(1);
    grid->addLayout(fpsRow, 5, 0, 1, 2);
    QObject::connect(add, &QPushButton::clicked, &dialog, [&dialog, frames] {
        std::string chosen;
        if (dialog.BrowseSource({kImageFilter}, chosen))
            frames->addItem(QString::fromStdString(chosen));
    });
    QObject::connect(remove, &QPushButton::clicked, &dialog, [frames] { qDeleteAll(frames->selectedItems()); });
    QObject::connect(clear, &QPushButton::clicked, &dialog, [frames] { frames->clear(); });
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fields.source = SourcePath(source);
    fields.format = uint32_t(format->currentIndex());
    fields.createMipmaps = mipmaps->isChecked();
    fields.normalMap = normalMap->isChecked();
    fields.framesPerSecond = uint32_t(fps->value());
    fields.frames.clear();
    for (int i = 0; i < frames->count(); ++i)
        fields.frames.push_back(frames->item(i)->text().toStdString());
    return true;
}

bool CAssetPropertiesEditor::EditCubeMap(CubeMapProperties& fields, bool)
{
    CAssetPropertiesDialog dialog(QStringLiteral("Cube Map Properties"), m_sourceRoot, m_parent);
    const QString labels[6] = {QStringLiteral("Left:"), QStringLiteral("Right:"), QStringLiteral("Up:"),
                               QStringLiteral("Down:"), QStringLiteral("Front:"), QStringLiteral("Back:")};
    QLineEdit* faces[6];
    for (int i = 0; i < 6; ++i)
        faces[i] = dialog.AddFileField(labels[i], fields.faces[size_t(i)], {kImageFilter});
    QComboBox* format = dialog.AddList(QStringLiteral("Format:"),
                                       {QStringLiteral("Uncompressed"), QStringLiteral("DXT1"), QStringLiteral("DXT3"),
                                        QStringLiteral("DXT5")},
                                       int(fields.format));
    QCheckBox* mipmaps = dialog.AddCheck(QStringLiteral("Create mipmaps"), fields.createMipmaps);
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (int i = 0; i < 6; ++i)
        fields.faces[size_t(i)] = SourcePath(faces[i]);
    fields.format = uint32_t(format->currentIndex());
    fields.createMipmaps = mipmaps->isChecked();
    return true;
}

bool CAssetPropertiesEditor::EditMesh(MeshProperties& fields, bool)
{
    CAssetPropertiesDialog dialog(QStringLiteral("Model Properties"), m_sourceRoot, m_parent);
    QLineEdit* scene = dialog.AddFileField(QStringLiteral("Source:"), fields.scene, {kSceneFilter});
    QLineEdit* mif = dialog.AddFileField(QStringLiteral("MIF:"), fields.mif, {QStringLiteral("MIF File (*.MIF)")});
    QCheckBox* tangents = dialog.AddCheck(QStringLiteral("Tangent Space Vectors"), fields.tangentSpaceVectors);
    QCheckBox* colors = dialog.AddCheck(QStringLiteral("Vertex Colors"), fields.vertexColors);
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fields.scene = SourcePath(scene);
    fields.mif = SourcePath(mif);
    fields.tangentSpaceVectors = tangents->isChecked();
    fields.vertexColors = colors->isChecked();
    return true;
}

bool CAssetPropertiesEditor::EditAnimation(AnimationProperties& fields, bool)
{
    CAssetPropertiesDialog dialog(QStringLiteral("Animation Properties"), m_sourceRoot, m_parent);
    QLineEdit* scene = dialog.AddFileField(QStringLiteral("Source:"), fields.scene, {kSceneFilter});
    QLineEdit* aif = dialog.AddFileField(QStringLiteral("AIF:"), fields.aif, {QStringLiteral("AIF File (*.AIF)")});
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fields.scene = SourcePath(scene);
    fields.aif = SourcePath(aif);
    return true;
}

bool CAssetPropertiesEditor::EditShader(ShaderProperties& fields, bool)
{
    CAssetPropertiesDialog dialog(QStringLiteral("Shader Properties"), m_sourceRoot, m_parent);
    QLineEdit* source =
        dialog.AddFileField(QStringLiteral("Source:"), fields.source, {QStringLiteral("Shader File (*.SSH)")});
    QLineEdit* defines = dialog.AddTextField(QStringLiteral("Defines:"), fields.defines);
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fields.source = SourcePath(source);
    fields.defines = CAssetPropertiesDialog::Text(defines);
    return true;
}

bool CAssetPropertiesEditor::EditFont(FontProperties& fields, bool)
{
    CAssetPropertiesDialog dialog(QStringLiteral("Font Properties"), m_sourceRoot, m_parent);
    QLineEdit* source =
        dialog.AddFileField(QStringLiteral("Source:"), fields.source, {QStringLiteral("TrueType Font (*.TTF)")});
    QLineEdit* size = dialog.AddTextField(QStringLiteral("Size:"), std::to_string(fields.size));
    size->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,6}")), size));
    dialog.Finish([&dialog, size] {
        if (size->text().toUInt() > 0)
            return true;
        QMessageBox::warning(&dialog, dialog.windowTitle(), QStringLiteral("Enter a size of at least 1."));
        size->setFocus();
        return false;
    });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fields.source = SourcePath(source);
    fields.size = size->text().toUInt();
    return true;
}

bool CAssetPropertiesEditor::EditMap(MapProperties& fields, bool)
{
    CAssetPropertiesDialog dialog(QStringLiteral("Map Properties"), m_sourceRoot, m_parent);
    QLineEdit* world =
        dialog.AddFileField(QStringLiteral("World:"), fields.world, {QStringLiteral("World File (*.WRL)")});
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fields.world = SourcePath(world);
    return true;
}

bool CAssetPropertiesEditor::EditCopySource(CopyProperties& fields, const std::string& filterLabel,
                                            const std::string& filterPattern, bool)
{
    CAssetPropertiesDialog dialog(QStringLiteral("Asset Properties"), m_sourceRoot, m_parent);
    QLineEdit* source =
        dialog.AddFileField(QStringLiteral("Source:"), fields.source, {QtNameFilter(filterLabel, filterPattern)});
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    fields.source = SourcePath(source);
    return true;
}

void CAssetPropertiesEditor::ShowInformation(const std::string& text, const std::string& caption)
{
    QMessageBox::information(m_parent, QString::fromStdString(caption), QString::fromStdString(text));
}

} // namespace mw
