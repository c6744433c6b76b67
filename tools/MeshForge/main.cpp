// MeshForge: compiles a scene's mesh export data (and its MIF material list)
// into a .msh mesh. Command line and formats: tools/README.md.
#include "common/CompilerMain.h"
#include "common/BinaryOutput.h"
#include "common/TextLines.h"
#include "common/ToolOutput.h"

#include "platform/PathRules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

using mw::Format;
using mw::tools::TextLines;
using Vec3 = std::array<float, 3>;

const char kProgram[] = "MeshForge";
constexpr uint32_t kFormatVersion = 1;
constexpr int64_t kMaxVertices = 1000000;
constexpr int64_t kMaxTriangles = 2000000;
// Export data and material files beyond this are refused unread.
constexpr uint64_t kMaxInputSize = 256u << 20;
// The shortest vertex and triangle lines: one-digit numbers, blanks, a line feed.
constexpr size_t kMinVertexLineSize = 10;
constexpr size_t kMinTriangleLineSize = 6;

struct Options
{
    std::string exportData;
    std::string output;
    std::string statistics;
    std::string mif;
    std::string sourceFolder;
    bool tangents = false;
    bool vertexColors = false;
};

struct Vertex
{
    Vec3 position{};
    float u = 0, v = 0;
    std::array<uint8_t, 4> color{};
    Vec3 normal{};
    Vec3 tangent{};
    Vec3 bitangent{};
};

struct Triangle
{
    uint32_t index[3];
    uint32_t material;
};

struct Material
{
    std::string name;
    std::string texture;
};

struct Mesh
{
    bool hasColors = false;
    std::vector<Vertex> vertices;
    std::vector<Triangle> triangles;
};

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 Add(const Vec3& a, const Vec3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec3 Scale(const Vec3& a, float s) { return {a[0] * s, a[1] * s, a[2] * s}; }
float Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
// The unit vector along a, or fallback when a has no length.
Vec3 Normalize(const Vec3& a, const Vec3& fallback)
{
    float length = std::sqrt(Dot(a, a));
    return length > 1e-12f ? Scale(a, 1.0f / length) : fallback;
}

bool ParseArguments(const std::vector<std::string>& args, Options& options)
{
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (arg == "-stat" && i + 1 < args.size())
            options.statistics = args[++i];
        else if (arg == "-mif" && i + 2 < args.size())
        {
            options.mif = args[++i];
            options.sourceFolder = args[++i];
        }
        else if (arg == "-tangents")
            options.tangents = true;
        else if (arg == "-vertexColors")
            options.vertexColors = true;
        else if (arg.size() > 1 && arg[0] == '-')
        {
            mw::tools::ReportError(kProgram, Format("unknown switch '%s'", arg.c_str()));
            return false;
        }
        else
            positional.push_back(arg);
    }
    if (positional.size() != 2)
    {
        mw::tools::ReportError(kProgram, "usage: MeshForge EXPORTDATA [-stat FILE] [-mif MIF SOURCEFOLDER] [-tangents] "
                                         "[-vertexColors] OUTPUT");
        return false;
    }
    options.exportData = positional[0];
    options.output = positional[1];
    return true;
}

bool Fail(const std::string& message)
{
    mw::tools::ReportError(kProgram, message);
    return false;
}

bool ReadMesh(const std::string& path, Mesh& mesh)
{
    std::string text;
    if (!mw::tools::ReadInput(kProgram, path, text, kMaxInputSize))
        return false;
    TextLines lines(text, path);
    std::vector<std::string_view> t;
    if (!lines.Next(t) || t.size() != 2 || t[0] != "MDL" || t[1] != "1")
        return Fail(lines.Error("expected \"MDL 1\" (mesh export data)"));
    int64_t count = 0;
    if (!lines.Next(t) || t.size() < 2 || t.size() > 3 || t[0] != "vertices" ||
        !TextLines::ToInt(t[1], 1, kMaxVertices, count) || (t.size() == 3 && t[2] != "colors"))
        return Fail(lines.Error("expected \"vertices N [colors]\" with N from 1 to 1000000"));
    mesh.hasColors = t.size() == 3;
    const size_t fields = mesh.hasColors ? 9 : 5;
    // Counts are checked against the file before anything is allocated.
    if (size_t(count) > text.size() / kMinVertexLineSize)
        return Fail(lines.Error(Format("%lld vertices are more than the file can hold", (long long)count)));
    mesh.vertices.resize(size_t(count));
    for (Vertex& vertex : mesh.vertices)
    {
        if (!lines.Next(t) || t.size() != fields)
            return Fail(lines.Error(Format("expected a vertex of %zu numbers", fields)));
        float* targets[5] = {&vertex.position[0], &vertex.position[1], &vertex.position[2], &vertex.u, &vertex.v};
        for (size_t i = 0; i < 5; ++i)
            if (!TextLines::ToFloat(t[i], *targets[i]))
                return Fail(lines.Error(Format("'%.*s' is not a number", int(t[i].size()), t[i].data())));
        for (size_t i = 5; i < fields; ++i)
        {
            int64_t channel = 0;
            if (!TextLines::ToInt(t[i], 0, 255, channel))
                return Fail(lines.Error("colour channels are whole numbers from 0 to 255"));
            vertex.color[i - 5] = uint8_t(channel);
        }
    }
    if (!lines.Next(t) || t.size() != 2 || t[0] != "triangles" || !TextLines::ToInt(t[1], 1, kMaxTriangles, count))
        return Fail(lines.Error("expected \"triangles M\" with M from 1 to 2000000"));
    if (size_t(count) > text.size() / kMinTriangleLineSize)
        return Fail(lines.Error(Format("%lld triangles are more than the file can hold", (long long)count)));
    mesh.triangles.resize(size_t(count));
    for (Triangle& triangle : mesh.triangles)
    {
        if (!lines.Next(t) || t.size() < 3 || t.size() > 4)
            return Fail(lines.Error("expected a triangle: three vertex indexes and a material index"));
        int64_t value = 0;
        for (size_t i = 0; i < 3; ++i)
        {
            if (!TextLines::ToInt(t[i], 0, int64_t(mesh.vertices.size()) - 1, value))
                return Fail(lines.Error(Format("vertex index '%.*s' is not below %zu", int(t[i].size()), t[i].data(),
                                               mesh.vertices.size())));
            triangle.index[i] = uint32_t(value);
        }
        value = 0;
        if (t.size() == 4 && !TextLines::ToInt(t[3], 0, 65535, value))
            return Fail(lines.Error("material index out of range"));
        triangle.material = uint32_t(value);
    }
    if (lines.Next(t))
        return Fail(lines.Error("unexpected text after the last triangle"));
    return true;
}

bool ReadMif(const std::string& path, std::vector<Material>& materials)
{
    std::string text;
    if (!mw::tools::ReadInput(kProgram, path, text, kMaxInputSize))
        return false;
    TextLines lines(text, path);
    std::vector<std::string_view> t;
    if (!lines.Next(t) || t.size() != 2 || t[0] != "MIF" || t[1] != "1")
        return Fail(lines.Error("expected \"MIF 1\""));
    while (lines.Next(t))
    {
        if (t[0] != "material" || t.size() < 2 || t.size() > 3)
            return Fail(lines.Error("expected \"material NAME [TEXTURE]\""));
        materials.push_back(Material{std::string(t[1]), t.size() == 3 ? std::string(t[2]) : std::string()});
    }
    if (materials.empty())
        return Fail("'" + path + "' lists no material");
    return true;
}

void ComputeNormals(Mesh& mesh)
{
    for (const Triangle& triangle : mesh.triangles)
    {
        const Vec3& a = mesh.vertices[triangle.index[0]].position;
        Vec3 face = Cross(Sub(mesh.vertices[triangle.index[1]].position, a), Sub(mesh.vertices[triangle.index[2]].position, a));
        for (uint32_t index : triangle.index)
            mesh.vertices[index].normal = Add(mesh.vertices[index].normal, face);
    }
    for (Vertex& vertex : mesh.vertices)
        vertex.normal = Normalize(vertex.normal, {0, 0, 1});
}

// Tangent frames from the texture coordinates, made orthogonal to the normal.
void ComputeTangents(Mesh& mesh)
{
    for (const Triangle& triangle : mesh.triangles)
    {
        const Vertex& a = mesh.vertices[triangle.index[0]];
        const Vertex& b = mesh.vertices[triangle.index[1]];
        const Vertex& c = mesh.vertices[triangle.index[2]];
        Vec3 e1 = Sub(b.position, a.position), e2 = Sub(c.position, a.position);
        float du1 = b.u - a.u, dv1 = b.v - a.v, du2 = c.u - a.u, dv2 = c.v - a.v;
        float det = du1 * dv2 - du2 * dv1;
        if (std::fabs(det) < 1e-20f)
            continue;
        float r = 1.0f / det;
        Vec3 tangent = Scale(Sub(Scale(e1, dv2), Scale(e2, dv1)), r);
        Vec3 bitangent = Scale(Sub(Scale(e2, du1), Scale(e1, du2)), r);
        for (uint32_t index : triangle.index)
        {
            mesh.vertices[index].tangent = Add(mesh.vertices[index].tangent, tangent);
            mesh.vertices[index].bitangent = Add(mesh.vertices[index].bitangent, bitangent);
        }
    }
    for (Vertex& vertex : mesh.vertices)
    {
        const Vec3& n = vertex.normal;
        Vec3 any = std::fabs(n[0]) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
        Vec3 t = Normalize(Sub(vertex.tangent, Scale(n, Dot(n, vertex.tangent))), Normalize(Cross(any, n), {1, 0, 0}));
        Vec3 b = Cross(n, t);
        if (Dot(b, vertex.bitangent) < 0)
            b = Scale(b, -1);
        vertex.tangent = t;
        vertex.bitangent = b;
    }
}

int Run(const Options& options)
{
    Mesh mesh;
    if (!ReadMesh(options.exportData, mesh))
        return 1;
    if (options.vertexColors && !mesh.hasColors)
    {
        Fail(Format("-vertexColors given but '%s' has no vertex colours", options.exportData.c_str()));
        return 1;
    }
    std::vector<Material> materials;
    if (!options.mif.empty())
    {
        std::string mifPath = options.sourceFolder.empty() || mw::IsSeparator(options.sourceFolder.back())
                                  ? options.sourceFolder + options.mif
                                  : options.sourceFolder + "/" + options.mif;
        if (!ReadMif(mifPath, materials))
            return 1;
    }
    else
        materials.push_back(Material{"default", ""});
    for (const Triangle& triangle : mesh.triangles)
    {
        if (triangle.material >= materials.size())
        {
            Fail(Format("a triangle uses material %u, but only %zu material(s) are listed", triangle.material,
                        materials.size()));
            return 1;
        }
    }

    ComputeNormals(mesh);
    if (options.tangents)
        ComputeTangents(mesh);
    Vec3 low = mesh.vertices[0].position, high = low;
    for (const Vertex& vertex : mesh.vertices)
        for (int c = 0; c < 3; ++c)
        {
            low[size_t(c)] = std::min(low[size_t(c)], vertex.position[size_t(c)]);
            high[size_t(c)] = std::max(high[size_t(c)], vertex.position[size_t(c)]);
        }

    mw::tools::BinaryOutput out;
    out.Bytes("MWMS");
    out.U32(kFormatVersion);
    out.U32((options.tangents ? 1u : 0u) | (options.vertexColors ? 2u : 0u));
    out.U32(uint32_t(mesh.vertices.size()));
    out.U32(uint32_t(mesh.triangles.size()));
    out.U32(uint32_t(materials.size()));
    for (float value : low)
        out.F32(value);
    for (float value : high)
        out.F32(value);
    for (const Material& material : materials)
    {
        out.String(material.name);
        out.String(material.texture);
    }
    for (const Vertex& vertex : mesh.vertices)
    {
        for (float value : vertex.position)
            out.F32(value);
        for (float value : vertex.normal)
            out.F32(value);
        out.F32(vertex.u);
        out.F32(vertex.v);
        if (options.tangents)
        {
            for (float value : vertex.tangent)
                out.F32(value);
            for (float value : vertex.bitangent)
                out.F32(value);
        }
        if (options.vertexColors)
            for (uint8_t channel : vertex.color)
                out.U8(channel);
    }
    for (const Triangle& triangle : mesh.triangles)
    {
        for (uint32_t index : triangle.index)
            out.U32(index);
        out.U32(triangle.material);
    }
    if (!mw::tools::WriteOutput(kProgram, options.output, out))
        return 1;
    mw::tools::ReportProgress(Format("%s: %zu vertices, %zu triangles, %zu material(s), %zu bytes", options.output.c_str(),
                                     mesh.vertices.size(), mesh.triangles.size(), materials.size(), out.Data().size()));
    if (!options.statistics.empty())
        mw::tools::AppendStatisticsLine(kProgram, options.statistics, "Output,Vertices,Triangles,Materials,Bytes",
                                        {options.output, std::to_string(mesh.vertices.size()),
                                         std::to_string(mesh.triangles.size()), std::to_string(materials.size()),
                                         std::to_string(out.Data().size())});
    return 0;
}

// One compile; main runs it once, or once for each command line a worker is sent.
int Compile(const std::vector<std::string>& args)
{
    Options options;
    if (!ParseArguments(args, options))
        return 1;
    return Run(options);
}

} // namespace

int main(int argc, char** argv)
{
    return mw::tools::CompilerMain(argc, argv, Compile);
}
