// The equation editor.
#include "CInPlaceEquationEdit.h"

#include <QCompleter>
#include <QStringList>

namespace mw {

CInPlaceEquationEdit::CInPlaceEquationEdit(const std::vector<std::string>& variableNames, QWidget* parent)
    : QLineEdit(parent)
{
    QStringList names;
    for (const std::string& name : variableNames)
        names << QString::fromStdString(name);
    auto* completer = new QCompleter(names, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    setCompleter(completer);
    setToolTip(names.isEmpty() ? QString("Equation") : "Equation variables: " + names.join(", "));
}

} // namespace mw
