// The output pane: one line per item, error lines in red, the view follows
// new lines only while it is scrolled to the bottom.
#pragma once

#include <QListWidget>

#include <functional>
#include <string>

namespace mw {

class IUserPrompt;
class OutputLog;

class COutputView : public QListWidget
{
    Q_OBJECT
public:
    COutputView(IUserPrompt& prompt, QWidget* parent = nullptr);

    // Cut to 300 characters and trimmed; red when error is set.
    void AddLine(const std::string& text, bool error);
    void Clear();
    // Applies what the log queued since the last flush.
    void Flush(OutputLog& log);
    // The selected lines to the clipboard ("No items were selected!" without any).
    void CopySelection();

    // Called with a line's whole text when it is double-clicked.
    void SetLineOpener(std::function<void(const std::string& line)> opener) { m_lineOpener = std::move(opener); }

    std::string LineText(int row) const;
    bool IsErrorLine(int row) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    IUserPrompt& m_prompt;
    std::function<void(const std::string&)> m_lineOpener;
};

} // namespace mw
