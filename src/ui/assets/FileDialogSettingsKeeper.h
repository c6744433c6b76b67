// Keeps the desktop's shared file-dialog settings as they were. Qt's own file
// dialog writes its sidebar places, history, last folder and view mode into
// the user's "QtProject" settings when it is destroyed, and every Qt
// program's file dialog reads them back: a dialog confined to a workspace
// folder would leave that folder in the sidebar of every other program.
#pragma once

class QFileDialog;

namespace mw {

class FileDialogSettingsKeeper
{
public:
    // Notes the shared settings now and puts them back once the dialog has
    // been destroyed (after Qt has written its own).
    static void KeepAcross(QFileDialog* dialog);
};

} // namespace mw
