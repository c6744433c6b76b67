// The build statistics files that the compilers append to in the current
// folder: the tool only names them and deletes the old ones.
#pragma once

namespace mw {

class AssetRegistry;
class IToolContext;

// With statistics on, deletes the statistics file of every registered type
// that has one from the current folder; files that are missing or cannot be
// deleted are passed over. With statistics off nothing is deleted.
void DeleteStatisticsFiles(const IToolContext& context, const AssetRegistry& registry);

} // namespace mw
