// The abstract asset: one game resource described by an asset file, with the
// type's body, its source files and the build that compiles it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mw {

class AssetReader;
class AssetWriter;
class IAssetPropertiesEditor;
class IToolContext;

class Asset
{
public:
    virtual ~Asset() = default;
    Asset(const Asset&) = delete;
    Asset& operator=(const Asset&) = delete;

    // The type's display name, for example "Texture".
    virtual std::string GetName() const = 0;
    // The key stored at offset 4 of the asset file.
    virtual uint32_t GetTypeKey() const = 0;
    // Shows the type's properties through editor, takes the fields back and
    // recomputes the output name on OK; true on OK. Without an editor
    // nothing changes and the result is false.
    virtual bool Properties(IAssetPropertiesEditor* editor, bool isNew);
    // Every field to the value a new asset starts with.
    virtual void Reset() = 0;
    // Reads the type body at the reader's position; false (fields unchanged)
    // when its tag or version is not one the type reads or it ends early.
    virtual bool Load(AssetReader& file) = 0;
    // Writes the type body.
    virtual bool Save(AssetWriter& file) const = 0;
    // Compiles the asset into outputPath; true when the compiler ran and
    // succeeded (or the copy was made).
    virtual bool Build(IToolContext& context, const std::string& outputPath) = 0;
    // A file the build writes beside its output and removes again; two
    // builds that use the same one never run at the same time. Empty for none.
    virtual std::string GetBuildScratchFile(const std::string& outputPath) const;
    // Source file slots that the up-to-date test looks at.
    virtual int GetSourceCount() const { return 0; }
    // The path in a slot (relative to the source folder; empty when unused),
    // or nothing for an index out of range.
    virtual std::optional<std::string> GetSourceFile(int index) const;
    // Appends the accepted source extensions, lower case with the dot.
    virtual void GetSourceExtensions(std::vector<std::string>& list) const;
    // Makes this asset describe sourcePath with default options; false when
    // the type cannot.
    virtual bool AutoCreate(const std::string& sourcePath);

    // The build statistics file its compiler appends to; empty for none.
    const std::string& GetStatisticsFile() const { return m_statisticsFile; }
    // The file name of the compiled resource.
    const std::string& GetOutputName() const { return m_outputName; }

protected:
    explicit Asset(std::string statisticsFile = {}) : m_statisticsFile(std::move(statisticsFile)) {}

    std::string m_statisticsFile;
    std::string m_outputName;
};

} // namespace mw
