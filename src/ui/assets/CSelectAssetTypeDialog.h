// The choice among the asset types that accept a source file's extension.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;

namespace mw {

class CSelectAssetTypeDialog : public QDialog
{
    Q_OBJECT
public:
    CSelectAssetTypeDialog(const std::vector<std::string>& typeNames, QWidget* parent = nullptr);

    // The chosen name's position, or -1.
    int Chosen() const;
    QListWidget* List() const { return m_list; }

private:
    QListWidget* m_list;
};

} // namespace mw
