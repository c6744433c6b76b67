// Runs one compiler of tools/ whole on arbitrary bytes written as its input
// files, with the arguments the build gives it: whatever the bytes say, the
// compiler must end with its exit code, within its bounds, without a crash.
// The compiler's main() is built into this target as MwToolMain.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int MwToolMain(int argc, char** argv);

namespace {

const std::string& Folder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/mwfuzz.XXXXXX";
        const char* made = ::mkdtemp(pattern);
        return std::string(made ? made : "/tmp") + "/";
    }();
    return folder;
}

void Write(const std::string& name, const std::string& bytes)
{
    if (std::FILE* file = std::fopen((Folder() + name).c_str(), "wb"))
    {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A NUL byte splits the input into the main file and a second one (the
    // MIF list, the AIF events, a region file, an included shader).
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t split = input.find('\0');
    std::string first = input.substr(0, split);
    std::string second = split == std::string::npos ? std::string() : input.substr(split + 1);
    const std::string& folder = Folder();
    std::vector<std::string> args = {"compiler"};
#if defined(MW_FUZZ_MESHFORGE)
    Write("a.mdl", first);
    Write("a.mif", second);
    args.insert(args.end(), {folder + "a.mdl", "-mif", folder + "a.mif", folder, "-tangents", "-vertexColors",
                             folder + "out.msh"});
#elif defined(MW_FUZZ_ANIMFORGE)
    Write("a.anim", first);
    Write("a.aif", second);
    args.insert(args.end(), {folder + "a.anim", folder + "a.aif", folder + "out.anm"});
#elif defined(MW_FUZZ_MAPFORGE)
    Write("world.mwd", first);
    Write("r.rgn", second);
    args.insert(args.end(), {folder + "world.mwd", folder, folder + "out.map"});
#elif defined(MW_FUZZ_SHADEFORGE)
    Write("main.ssh", first);
    Write("inc.ssh", second);
    args.insert(args.end(), {folder + "main.ssh", folder + "out.ssh", "/define", "A;B=2"});
#else
#error "define the compiler this target runs"
#endif
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    MwToolMain(int(args.size()), argv.data());
    return 0;
}
