// The properties dialogs of the asset types, shown when a type's Properties
// asks for them: each fills its dialog from the type's fields and hands them
// back on OK.
#pragma once

#include "assets/IAssetPropertiesEditor.h"

#include <string>

class QWidget;

namespace mw {

class CAssetPropertiesEditor final : public IAssetPropertiesEditor
{
public:
    // sourceRoot: the folder the browse buttons choose files below.
    CAssetPropertiesEditor(std::string sourceRoot, QWidget* parent) : m_sourceRoot(std::move(sourceRoot)), m_parent(parent) {}

    void SetSourceRoot(std::string sourceRoot) { m_sourceRoot = std::move(sourceRoot); }

    bool EditTexture(TextureProperties& fields, bool isNew) override;
    bool EditCubeMap(CubeMapProperties& fields, bool isNew) override;
    bool EditMesh(MeshProperties& fields, bool isNew) override;
    bool EditAnimation(AnimationProperties& fields, bool isNew) override;
    bool EditShader(ShaderProperties& fields, bool isNew) override;
    bool EditFont(FontProperties& fields, bool isNew) override;
    bool EditMap(MapProperties& fields, bool isNew) override;
    bool EditCopySource(CopyProperties& fields, const std::string& filterLabel, const std::string& filterPattern,
                        bool isNew) override;
    void ShowInformation(const std::string& text, const std::string& caption) override;

private:
    std::string m_sourceRoot;
    QWidget* m_parent;
};

} // namespace mw
