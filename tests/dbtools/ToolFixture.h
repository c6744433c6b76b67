// A workspace in a temporary folder with the scripted source-control backend,
// for the whole-database tools.
#pragma once

#include "platform/FileSystem.h"
#include "support/FakeWorkspace.h"
#include "support/ScriptedBackend.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace mw::test {

class ToolFixture : public ::testing::Test
{
protected:
    ToolFixture() : workspace(temp.Path(), temp / "build/")
    {
        auto scripted = std::make_unique<ScriptedBackend>();
        backend = scripted.get();
        workspace.SourceControl().SetBackend(std::move(scripted));
        workspace.SourceControl().SetUserName("me");
    }

    // A template file under database/Templates from variable lines.
    void WriteTemplate(const std::string& name, const std::string& variables)
    {
        WriteFile(temp / "database/Templates/" + name,
                  "Group { name = \"All Groups\" type = \"list\"\n" + variables + "}\n");
    }

    static std::string Var(const std::string& name, const std::string& varClass, const std::string& type,
                           const std::string& defaultValue = "")
    {
        return "Variable { name = \"" + name + "\" class = \"" + varClass + "\" type = \"" + type +
               "\" description = \"\" value = \"\" defaultValue = \"" + defaultValue + "\" }\n";
    }

    void WriteRecord(const std::string& relative, const std::string& text) { WriteFile(temp / relative, text); }
    std::string Read(const std::string& relative) const { return ReadFile(temp / relative); }

    bool Logged(const std::string& text) const { return workspace.HasLine(text); }
    std::vector<std::string> Tail(size_t count) const
    {
        std::vector<std::string> texts = workspace.Texts();
        return std::vector<std::string>(texts.end() - long(std::min(count, texts.size())), texts.end());
    }

    TempFolder temp;
    FakeWorkspace workspace;
    ScriptedBackend* backend = nullptr;
};

} // namespace mw::test
