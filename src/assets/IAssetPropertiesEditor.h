// The properties dialogs of the asset types. The GUI implements it; the core
// types call it and, without an implementation, change nothing.
#pragma once

#include "AssetProperties.h"

#include <string>
#include <vector>

namespace mw {

class IAssetPropertiesEditor
{
public:
    // Each shows its type's dialog filled from the fields, writes them back
    // and returns true on OK; false (fields as they were) on Cancel.
    virtual bool EditTexture(TextureProperties& fields, bool isNew) = 0;
    virtual bool EditCubeMap(CubeMapProperties& fields, bool isNew) = 0;
    virtual bool EditMesh(MeshProperties& fields, bool isNew) = 0;
    virtual bool EditAnimation(AnimationProperties& fields, bool isNew) = 0;
    virtual bool EditShader(ShaderProperties& fields, bool isNew) = 0;
    virtual bool EditFont(FontProperties& fields, bool isNew) = 0;
    virtual bool EditMap(MapProperties& fields, bool isNew) = 0;
    // The source-file dialog of the copy types. The browse button's filters
    // are filterLabel / filterPattern (see CopyAsset) and "All (*.*)" / "*.*".
    virtual bool EditCopySource(CopyProperties& fields, const std::string& filterLabel,
                                const std::string& filterPattern, bool isNew) = 0;
    // An information box with a caption.
    virtual void ShowInformation(const std::string& text, const std::string& caption) = 0;

protected:
    ~IAssetPropertiesEditor() = default;
};

} // namespace mw
