// Qt message boxes and save dialogs for the Database Editor.
#include "CDbEditorPrompt.h"

#include "platform/PathRules.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace mw {

QString QtFileFilter(const std::string& filter)
{
    QStringList parts;
    std::vector<std::string> pieces = SplitText(filter, '|');
    for (size_t i = 0; i + 1 < pieces.size(); i += 2)
        if (!pieces[i].empty())
            parts << QString::fromStdString(pieces[i]);
    return parts.join(";;");
}

PromptAnswer CDbEditorPrompt::Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                                   PromptIcon icon)
{
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon)
    {
    case PromptIcon::Error:
        boxIcon = QMessageBox::Critical;
        break;
    case PromptIcon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case PromptIcon::Question:
        boxIcon = QMessageBox::Question;
        break;
    case PromptIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case PromptIcon::None:
        break;
    }
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    if (buttons == PromptButtons::YesNo)
        shown = QMessageBox::Yes | QMessageBox::No;
    else if (buttons == PromptButtons::YesNoCancel || buttons == PromptButtons::OverwriteKeepMineCancel)
        shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(boxIcon, QString::fromStdString(caption.empty() ? "Modwright" : caption),
                    QString::fromStdString(text), shown, m_parent);
    switch (box.exec())
    {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : NonInteractiveAnswer(buttons);
    }
}

bool CDbEditorPrompt::AskSavePath(const std::string& proposedName, const std::string& filter,
                                  const std::string& startFolder, std::string& chosenPath)
{
    const std::string& folder = startFolder.empty() ? m_defaultFolder : startFolder;
    QString start = QString::fromStdString(ToForwardSlashes(folder.empty() ? proposedName
                                                                           : folder + "/" + proposedName));
    QString chosen = QFileDialog::getSaveFileName(m_parent, "Save As", start, QtFileFilter(filter));
    if (chosen.isEmpty())
        return false;
    chosenPath = chosen.toStdString();
    return true;
}

} // namespace mw
