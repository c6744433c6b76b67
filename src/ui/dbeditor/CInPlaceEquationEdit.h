// The cell editor of equation values: a text field that completes the names
// of the template's equation variables.
#pragma once

#include <QLineEdit>

#include <string>
#include <vector>

namespace mw {

class CInPlaceEquationEdit : public QLineEdit
{
public:
    CInPlaceEquationEdit(const std::vector<std::string>& variableNames, QWidget* parent);
};

} // namespace mw
