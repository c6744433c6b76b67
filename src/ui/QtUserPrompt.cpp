// Message boxes and save dialogs through Qt.
#include "QtUserPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace mw {

PromptAnswer QtUserPrompt::Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                                 PromptIcon icon)
{
    return ShowWithDetails(text, caption, buttons, icon, std::string());
}

PromptAnswer QtUserPrompt::ShowWithDetails(const std::string& text, const std::string& caption,
                                           PromptButtons buttons, PromptIcon icon, const std::string& details)
{
    // An operation on the worker asks through the window's thread and waits for the answer.
    if (QThread::currentThread() != QApplication::instance()->thread())
    {
        PromptAnswer answer = NonInteractiveAnswer(buttons);
        QMetaObject::invokeMethod(
            QApplication::instance(), [&] { answer = ShowWithDetails(text, caption, buttons, icon, details); },
            Qt::BlockingQueuedConnection);
        return answer;
    }
    QMessageBox box(m_owner);
    // An empty caption shows the application's name, as the system's default caption does.
    box.setWindowTitle(caption.empty() ? QStringLiteral("Modwright") : QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    // The list stays behind the box's Show Details button.
    if (!details.empty())
        box.setDetailedText(QString::fromStdString(details));
    switch (icon)
    {
    case PromptIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case PromptIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case PromptIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case PromptIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case PromptIcon::None:
        break;
    }
    switch (buttons)
    {
    case PromptButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case PromptButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case PromptButtons::YesNoYesToAllNoToAll:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll | QMessageBox::NoToAll);
        box.setDefaultButton(QMessageBox::No);
        break;
    case PromptButtons::OverwriteKeepMineCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Overwrite"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Keep Mine"));
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    switch (box.exec())
    {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    case QMessageBox::YesToAll:
        return PromptAnswer::YesToAll;
    case QMessageBox::NoToAll:
        return PromptAnswer::NoToAll;
    default:
        break;
    }
    return buttons == PromptButtons::Ok ? PromptAnswer::Ok : NonInteractiveAnswer(buttons);
}

bool QtUserPrompt::AskSavePath(const std::string& proposedName, const std::string& filter,
                               const std::string& startFolder, std::string& chosenPath)
{
    if (QThread::currentThread() != QApplication::instance()->thread())
    {
        bool chosen = false;
        QMetaObject::invokeMethod(
            QApplication::instance(),
            [&] { chosen = AskSavePath(proposedName, filter, startFolder, chosenPath); },
            Qt::BlockingQueuedConnection);
        return chosen;
    }
    QString start = QString::fromStdString(startFolder + proposedName);
    QString path = QFileDialog::getSaveFileName(m_owner, QStringLiteral("Save As"), start,
                                                QString::fromStdString(filter));
    if (path.isEmpty())
        return false;
    chosenPath = path.toStdString();
    return true;
}

} // namespace mw
