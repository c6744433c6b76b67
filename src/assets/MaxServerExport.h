// Export of a scene through the MAX server, for scenes without embedded
// export data.
#pragma once

#include <string>

namespace mw {

class IToolContext;

// Uploads source folder + sceneFile, has the server load and export it with
// the three-letter tag ("MDL" or "ANM") and fetches the export into
// targetPath. The connection is closed on every path. False after a logged
// reason.
bool ExportViaMaxServer(IToolContext& context, const std::string& sceneFile, const std::string& targetPath,
                        const std::string& tag, int waitSeconds = 120);

} // namespace mw
