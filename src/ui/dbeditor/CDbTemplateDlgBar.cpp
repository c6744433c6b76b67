// The template bar.
#include "CDbTemplateDlgBar.h"

#include <QAction>

namespace mw {

CDbTemplateDlgBar::CDbTemplateDlgBar(QWidget* parent) : QToolBar("Template", parent)
{
    setObjectName("templateBar");
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    addGroup = addAction("Add Group...");
    editGroup = addAction("Edit Group...");
    deleteGroup = addAction("Delete Group");
    addSeparator();
    insertVariable = addAction("Insert Variable");
    editVariable = addAction("Edit Variable...");
    deleteVariable = addAction("Delete Variable");
}

} // namespace mw
