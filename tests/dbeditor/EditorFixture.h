// A workspace with one unit template (groups, a picklist, a static, a file
// and an array variable) and three records of it, for the editor tests.
#pragma once

#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace mw::test {

inline std::string EditorVariableText(const std::string& name, const std::string& type, const std::string& varClass,
                                      const std::string& defaultValue = "", const std::string& description = "")
{
    return "Variable { name = \"" + name + "\" class = \"" + varClass + "\" type = \"" + type +
           "\" description = \"" + description + "\" value = \"\" defaultValue = \"" + defaultValue + "\" }\n";
}

class EditorFixture : public ::testing::Test
{
protected:
    EditorFixture() : workspace(temp.Path(), temp / "build/")
    {
        WriteFile(temp / "Database/Templates/unit.tpl",
                  "Group { name = \"All Groups\" type = \"list\"\n" +
                      EditorVariableText("Class", "string", "static", "Unit", "The unit's class") +
                      "Group { name = \"Header\" type = \"system\"\n" +
                      EditorVariableText("ActorName", "string", "variable", "", "Name shown in game") +
                      EditorVariableText("FileDescription", "string", "variable") + "}\n" +
                      "Group { name = \"Combat\" type = \"list\"\n" +
                      EditorVariableText("speed", "int", "variable", "5", "Tiles per turn") +
                      EditorVariableText("damage", "real", "array", "", "Damage per level") +
                      EditorVariableText("stance", "string", "picklist", "low;medium;high") +
                      EditorVariableText("alive", "bool", "variable", "1") + "}\n" +
                      "Group { name = \"Looks\" type = \"list\"\n" +
                      EditorVariableText("skin", "file_tex", "variable", "", "Texture of the body") + "}\n" + "}\n");
        WriteFile(temp / "Database/Templates/item.tpl",
                  "Group { name = \"All Groups\" type = \"list\"\n" + EditorVariableText("weight", "real", "variable") +
                      "}\n");
        const char* names[] = {"archer", "knight", "scout"};
        for (int i = 0; i < 3; ++i)
            WriteFile(temp / ("database/records/" + std::string(names[i]) + ".dbr"),
                      "templateName,%TEMPLATE_DIR%Database\\Templates\\unit.tpl,\r\nspeed," + std::to_string(i + 3) +
                          ",\r\ndamage,1.5;2.25;4,\r\nActorName," + names[i] + ",\r\n");
        WriteFile(temp / "database/records/sword.dbr",
                  "templateName,%TEMPLATE_DIR%Database\\Templates\\item.tpl,\r\nweight,2.5,\r\n");
    }

    std::string Record(const std::string& name) const { return temp / ("database/records/" + name + ".dbr"); }
    std::string IniPath() const { return temp / "Tools.ini"; }

    TempFolder temp;
    FakeWorkspace workspace;
};

} // namespace mw::test
