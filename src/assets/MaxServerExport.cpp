// The MAX server export steps and their messages.
#include "MaxServerExport.h"

#include "MaxServerClient.h"
#include "context/IToolContext.h"
#include "platform/PathRules.h"

namespace mw {

bool ExportViaMaxServer(IToolContext& context, const std::string& sceneFile, const std::string& targetPath,
                        const std::string& tag, int waitSeconds)
{
    // The client disconnects when it goes out of scope, whichever step ends the exchange.
    MaxServerClient client(context, waitSeconds);
    if (!client.Connect(context.GetMAXServer()))
    {
        context.Log("Couldn't connect to MAX Server", true, true);
        return false;
    }
    const std::string localScene = context.GetSourceDir() + sceneFile;
    if (!client.Put(localScene, "temp.max"))
    {
        context.Log(Format("Error loading '%s'", localScene.c_str()), true, true);
        return false;
    }
    if (!client.Load("temp.max"))
    {
        context.Log("Error loading MAX file on MAX Server", true, true);
        return false;
    }
    const std::string exportName = "temp." + tag;
    std::string error;
    if (!client.Export(exportName, error))
    {
        context.Log(Format("Error exporting file (%s)", error.c_str()), true, true);
        return false;
    }
    if (!client.Get(targetPath, exportName))
    {
        context.Log("Error retrieving exported file from MAX Server", true, true);
        return false;
    }
    client.Disconnect();
    return true;
}

} // namespace mw
