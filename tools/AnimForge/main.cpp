// AnimForge: compiles a scene's animation export data (and an optional AIF
// file of events) into a .anm animation. Command line and formats: tools/README.md.
#include "common/CompilerMain.h"
#include "common/BinaryOutput.h"
#include "common/TextLines.h"
#include "common/ToolOutput.h"

#include "platform/PathRules.h"

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

using mw::Format;
using mw::tools::TextLines;

const char kProgram[] = "AnimForge";
constexpr uint32_t kFormatVersion = 1;
constexpr int64_t kMaxBones = 1024;
constexpr int64_t kMaxFrames = 100000;
// Export data and event files beyond this are refused unread.
constexpr uint64_t kMaxInputSize = 256u << 20;
// The shortest key line: seven one-digit numbers, six blanks and a line feed.
constexpr size_t kMinKeyLineSize = 14;

struct Bone
{
    std::string name;
    int32_t parent = -1;
};

struct Event
{
    uint32_t frame = 0;
    std::string name;
};

struct Animation
{
    uint32_t fps = 0;
    std::vector<Bone> bones;
    uint32_t frames = 0;
    std::vector<std::array<float, 7>> keys; // frame-major: tx ty tz qx qy qz qw
    bool loop = false;
    std::vector<Event> events;
};

bool Fail(const std::string& message)
{
    mw::tools::ReportError(kProgram, message);
    return false;
}

bool ExpectCount(TextLines& lines, const char* keyword, int64_t low, int64_t high, int64_t& value)
{
    std::vector<std::string_view> t;
    if (lines.Next(t) && t.size() == 2 && t[0] == keyword && TextLines::ToInt(t[1], low, high, value))
        return true;
    return Fail(lines.Error(Format("expected \"%s N\" with N from %lld to %lld", keyword, (long long)low, (long long)high)));
}

bool ReadAnimation(const std::string& path, Animation& animation)
{
    std::string text;
    if (!mw::tools::ReadInput(kProgram, path, text, kMaxInputSize))
        return false;
    TextLines lines(text, path);
    std::vector<std::string_view> t;
    if (!lines.Next(t) || t.size() != 2 || t[0] != "ANM" || t[1] != "1")
        return Fail(lines.Error("expected \"ANM 1\" (animation export data)"));
    int64_t value = 0;
    if (!ExpectCount(lines, "fps", 1, 1000, value))
        return false;
    animation.fps = uint32_t(value);
    if (!ExpectCount(lines, "bones", 1, kMaxBones, value))
        return false;
    animation.bones.resize(size_t(value));
    for (size_t i = 0; i < animation.bones.size(); ++i)
    {
        int64_t parent = 0;
        if (!lines.Next(t) || t.size() != 3 || t[0] != "bone" || !TextLines::ToInt(t[2], -1, int64_t(i) - 1, parent))
            return Fail(lines.Error("expected \"bone NAME PARENT\" with PARENT -1 or an earlier bone"));
        animation.bones[i] = Bone{std::string(t[1]), int32_t(parent)};
    }
    if (!ExpectCount(lines, "frames", 1, kMaxFrames, value))
        return false;
    animation.frames = uint32_t(value);
    // The keys are counted against the file before they are allocated, so a
    // short file cannot claim millions of them.
    size_t keyCount = size_t(animation.frames) * animation.bones.size();
    if (keyCount > text.size() / kMinKeyLineSize)
        return Fail(lines.Error(Format("%u frames of %zu bones need %zu keys, more than the file can hold",
                                       animation.frames, animation.bones.size(), keyCount)));
    animation.keys.resize(keyCount);
    for (std::array<float, 7>& key : animation.keys)
    {
        if (!lines.Next(t) || t.size() != 7)
            return Fail(lines.Error("expected a key of seven numbers: tx ty tz qx qy qz qw"));
        for (size_t i = 0; i < 7; ++i)
            if (!TextLines::ToFloat(t[i], key[i]))
                return Fail(lines.Error(Format("'%.*s' is not a number", int(t[i].size()), t[i].data())));
        double length = std::sqrt(double(key[3]) * key[3] + double(key[4]) * key[4] + double(key[5]) * key[5] +
                                  double(key[6]) * key[6]);
        if (length < 1e-9)
            return Fail(lines.Error("a rotation quaternion of zero length"));
        for (size_t i = 3; i < 7; ++i)
            key[i] = float(key[i] / length);
    }
    if (lines.Next(t))
        return Fail(lines.Error("unexpected text after the last key"));
    return true;
}

bool ReadAif(const std::string& path, Animation& animation)
{
    std::string text;
    if (!mw::tools::ReadInput(kProgram, path, text, kMaxInputSize))
        return false;
    TextLines lines(text, path);
    std::vector<std::string_view> t;
    if (!lines.Next(t) || t.size() != 2 || t[0] != "AIF" || t[1] != "1")
        return Fail(lines.Error("expected \"AIF 1\""));
    while (lines.Next(t))
    {
        int64_t frame = 0;
        if (t[0] == "loop" && t.size() == 2 && (t[1] == "yes" || t[1] == "no"))
            animation.loop = t[1] == "yes";
        else if (t[0] == "event" && t.size() == 3 && TextLines::ToInt(t[1], 0, int64_t(animation.frames) - 1, frame))
            animation.events.push_back(Event{uint32_t(frame), std::string(t[2])});
        else
            return Fail(lines.Error(Format("expected \"loop yes|no\" or \"event FRAME NAME\" with FRAME below %u",
                                           animation.frames)));
    }
    return true;
}

// One compile; main runs it once, or once for each command line a worker is sent.
int Compile(const std::vector<std::string>& args)
{
    if (args.size() != 2 && args.size() != 3)
    {
        mw::tools::ReportError(kProgram, "usage: AnimForge EXPORTDATA [AIF] OUTPUT");
        return 1;
    }
    const std::string& output = args.back();
    Animation animation;
    if (!ReadAnimation(args[0], animation) || (args.size() == 3 && !ReadAif(args[1], animation)))
        return 1;

    mw::tools::BinaryOutput out;
    out.Bytes("MWAN");
    out.U32(kFormatVersion);
    out.U32(animation.fps);
    out.U32(uint32_t(animation.bones.size()));
    out.U32(animation.frames);
    out.U32(uint32_t(animation.events.size()));
    out.U32(animation.loop ? 1u : 0u);
    for (const Bone& bone : animation.bones)
    {
        out.String(bone.name);
        out.I32(bone.parent);
    }
    for (const std::array<float, 7>& key : animation.keys)
        for (float value : key)
            out.F32(value);
    for (const Event& event : animation.events)
    {
        out.U32(event.frame);
        out.String(event.name);
    }
    if (!mw::tools::WriteOutput(kProgram, output, out))
        return 1;
    mw::tools::ReportProgress(Format("%s: %zu bone(s), %u frame(s) at %u fps, %zu event(s), %zu bytes", output.c_str(),
                                     animation.bones.size(), animation.frames, animation.fps, animation.events.size(),
                                     out.Data().size()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return mw::tools::CompilerMain(argc, argv, Compile);
}
