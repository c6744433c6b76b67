// The options dialog: folders, additional build folders and switches of
// Tools.ini, the build cache; network mode shows the larger form with the MAX server and the
// splash switches.
#pragma once

#include "app/OptionSettings.h"

#include <QDialog>

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;

namespace mw {

class CModwrightApp;
class IUserPrompt;

class COptionsDialog : public QDialog
{
    Q_OBJECT
public:
    COptionsDialog(const CModwrightApp& app, IUserPrompt& prompt, QWidget* parent = nullptr);

    // The fields as confirmed.
    OptionSettings Settings() const;

    QLineEdit* WorkingFolderField() const { return m_workingFolder; }
    QLineEdit* ToolsFolderField() const { return m_toolsFolder; }

private:
    QLineEdit* AddFolderRow(QFormLayout* form, const QString& label, const QString& browseTitle,
                            const std::string& value);
    // The build cache's folder, size, shared cache and read-only switch.
    void AddCacheRows(QFormLayout* form, const CacheOptions& cache);

    bool m_network;
    IUserPrompt& m_prompt;
    QLineEdit* m_workingFolder = nullptr;
    QLineEdit* m_buildFolder = nullptr;
    QLineEdit* m_toolsFolder = nullptr;
    QLineEdit* m_additionalFolders = nullptr;
    QCheckBox* m_exportStatistics = nullptr;
    QSpinBox* m_buildJobs = nullptr;
    QLineEdit* m_cacheLocal = nullptr;
    QSpinBox* m_cacheSize = nullptr;
    QLineEdit* m_cacheShared = nullptr;
    QCheckBox* m_cacheReadOnly = nullptr;
    QLineEdit* m_maxServer = nullptr;
    QCheckBox* m_splashEnable = nullptr;
    QCheckBox* m_splashMute = nullptr;
};

} // namespace mw
