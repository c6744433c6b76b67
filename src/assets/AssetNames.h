// Name rules of assets: output names from source paths and the browse
// filters of the source file dialogs.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace mw {

// The file name of a source path without its folders (both separators cut)
// and without its extension (from the last ".").
std::string SourceBaseName(const std::string& sourcePath);
// SourceBaseName followed by outputExtension (which has its dot).
std::string OutputNameFromSource(const std::string& sourcePath, const std::string& outputExtension);

// The name shared by the six faces of a cube map: the left face's base name
// cut at the first position where another face's base name differs
// (ignoring case), trailing "_" and " " removed; the left face's base name
// when nothing is left. Followed by ".tex".
std::string CubeMapOutputName(const std::array<std::string, 6>& faces);

// The first filter of a source file dialog: "Bitmap (*.psd, *.tga)" and
// its pattern "*.psd;*.tga".
std::string SourceFilterLabel(const std::string& typeName, const std::vector<std::string>& extensions);
std::string SourceFilterPattern(const std::vector<std::string>& extensions);

} // namespace mw
