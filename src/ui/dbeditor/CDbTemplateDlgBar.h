// The template bar: the structural commands of template mode (groups and
// variables), shown only while a template is edited.
#pragma once

#include <QToolBar>

class QAction;

namespace mw {

class CDbTemplateDlgBar : public QToolBar
{
public:
    explicit CDbTemplateDlgBar(QWidget* parent);

    QAction* addGroup;
    QAction* editGroup;
    QAction* deleteGroup;
    QAction* insertVariable;
    QAction* editVariable;
    QAction* deleteVariable;
};

} // namespace mw
