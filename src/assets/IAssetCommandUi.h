// The dialogs the asset commands show besides message boxes: the type's
// properties, the review status and the choice among several asset types.
// The windowed program implements it; tests script it.
#pragma once

#include <string>
#include <vector>

namespace mw {

class IAssetPropertiesEditor;
struct AssetHeader;

class IAssetCommandUi
{
public:
    virtual IAssetPropertiesEditor& PropertiesEditor() = 0;
    // The status dialog over header; true when confirmed. A read-only dialog
    // lets nothing be changed; privileged allows the approval steps.
    virtual bool EditStatus(AssetHeader& header, bool readOnly, bool privileged) = 0;
    // Picks one of the names; its index, or -1 when cancelled.
    virtual int ChooseAssetType(const std::vector<std::string>& typeNames) = 0;

protected:
    ~IAssetCommandUi() = default;
};

} // namespace mw
