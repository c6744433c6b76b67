// The asset types in the order of the new-asset commands.
#include "AssetTypes.h"

#include "AssetRegistry.h"
#include "types/AnimationAsset.h"
#include "types/BinaryAsset.h"
#include "types/BitmapAsset.h"
#include "types/CubeMapAsset.h"
#include "types/FontAsset.h"
#include "types/MapAsset.h"
#include "types/MeshAsset.h"
#include "types/Mp3Asset.h"
#include "types/ParticleAsset.h"
#include "types/QuestAsset.h"
#include "types/ShaderAsset.h"
#include "types/TextFileAsset.h"
#include "types/TextureAsset.h"
#include "types/WaveAsset.h"

namespace mw {

void RegisterAssetTypes(AssetRegistry& registry, const IToolContext& context)
{
    registry.Register(std::make_unique<TextureAsset>());
    registry.Register(std::make_unique<CubeMapAsset>());
    registry.Register(std::make_unique<MeshAsset>());
    registry.Register(std::make_unique<AnimationAsset>());
    registry.Register(std::make_unique<ShaderAsset>());
    registry.Register(std::make_unique<BitmapAsset>());
    registry.Register(std::make_unique<FontAsset>());
    registry.Register(std::make_unique<TextFileAsset>());
    registry.Register(std::make_unique<QuestAsset>());
    registry.Register(std::make_unique<ParticleAsset>());
    registry.Register(std::make_unique<MapAsset>(context));
    registry.Register(std::make_unique<BinaryAsset>());
    registry.Register(std::make_unique<WaveAsset>());
    registry.Register(std::make_unique<Mp3Asset>());
}

} // namespace mw
