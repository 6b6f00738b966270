// The deliverables as the program binds them: one runtime shared by every
// module, and the exports found by their decorated names.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "JOVString.h"
#include "ModuleExport.h"
#include "RuntimeProbe.h"
#include "protocols/ProtocolInfo.h"

TEST(SharedRuntime, MemoryAllocatedInOneModuleIsFreedInAnother)
{
    char* fromNew = AllocateWithNew(64);
    fromNew[63] = 'x';
    delete[] fromNew;
    std::free(AllocateWithMalloc(64));

    // A string made in the probe, grown here, freed by the common library.
    CJOVString s = MakeString(L"made in a DLL");
    s += CJOVString(L", grown in the exe");
    EXPECT_EQ(s, CJOVString(L"made in a DLL, grown in the exe"));
}

TEST(SharedRuntime, DynamicCastOfObjectMadeInAnotherModule)
{
    ProbeBase* base = MakeProbeDerived(L"payload");
    auto* derived = dynamic_cast<ProbeDerived*>(base);
    ASSERT_NE(derived, nullptr);
    EXPECT_EQ(derived->text, CJOVString(L"payload"));
    delete base;
}

TEST(SharedRuntime, ThreadMadeInOneModuleIsJoinedInAnother)
{
    std::atomic<int> flag{0};
    std::thread worker = StartProbeThread(flag);
    ASSERT_TRUE(worker.joinable());
    worker.join();
    EXPECT_EQ(flag.load(), 42);
}

namespace {

struct Library {
    explicit Library(const wchar_t* path) : handle(LoadLibraryW(path)) {}
    ~Library()
    {
        if (handle)
            FreeLibrary(handle);
    }
    template <class Fn = void (*)()>
    Fn Find(const char* name) const
    {
        return GetExport<Fn>(handle, name);
    }
    HMODULE handle;
};

} // namespace

TEST(PluginExports, EachPluginHasTheThreeDecoratedExports)
{
    struct Expect {
        const wchar_t* path;
        const wchar_t* name;
    };
    for (const Expect& plugin : {Expect{L"Protos\\Verdel\\Verdel.dll", L"ICQ"},
                                 Expect{L"Protos\\Jabber\\Jabber.dll", L"Jabber"}}) {
        Library lib(plugin.path);
        ASSERT_NE(lib.handle, nullptr) << "cannot load " << CJOVString(plugin.path).GetLength();
        auto getInfo = lib.Find<GetProtocolInfoFn>(JOV_EXPORT_GET_PROTOCOL_INFO);
        ASSERT_NE(getInfo, nullptr);
        EXPECT_NE(lib.Find(JOV_EXPORT_CREATE_ACCOUNT), nullptr);
        EXPECT_NE(lib.Find(JOV_EXPORT_DESTROY_ACCOUNT), nullptr);
        // Only the decorated names: the compiler's own names stay hidden.
        EXPECT_EQ(lib.Find("jov_GetProtocolInfo"), nullptr);

        Protocols::ProtocolInfo info;
        getInfo(info);
        EXPECT_EQ(info.name, CJOVString(plugin.name));
    }
}

TEST(LanguageExports, EachLanguageFileHasTheDecoratedLookUp)
{
    typedef bool (*GetStringFn)(int, CJOVString&);
    const wchar_t* files[] = {L"JOV_English", L"JOV_Russian", L"JOV_Czech", L"Verdel_English", L"Verdel_Czech",
                              L"Jabber_English", L"Jabber_Russian", L"Jabber_Czech"};
    for (const wchar_t* file : files) {
        CJOVString path = CJOVString(L"Langs\\") + CJOVString(file) + CJOVString(L".dll");
        Library lib(path);
        ASSERT_NE(lib.handle, nullptr);
        auto getString = lib.Find<GetStringFn>("?MUI_GetString@@YA_NHAAVCJOVString@@@Z");
        ASSERT_NE(getString, nullptr);
        CJOVString text(L"untouched");
        EXPECT_FALSE(getString(-1, text));
        EXPECT_FALSE(getString(100000, text));
        EXPECT_EQ(text, CJOVString(L"untouched"));
    }

    Library english(L"Langs\\JOV_English.dll");
    auto getString = english.Find<GetStringFn>("?MUI_GetString@@YA_NHAAVCJOVString@@@Z");
    CJOVString text;
    ASSERT_TRUE(getString(2, text));
    EXPECT_EQ(text, CJOVString(L"Online"));
    ASSERT_TRUE(getString(200, text));
    EXPECT_EQ(text, CJOVString(L"Choose from palette..."));
}

namespace {

// The DLLs a module binds as it loads: the names in its import directory.
std::vector<std::string> BoundAtLoad(const wchar_t* path)
{
    std::vector<std::string> names;
    HMODULE mapped = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!mapped)
        return names;
    // The low bits of such a handle mark the mapping; the image starts at the rest.
    const BYTE* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(mapped) & ~ULONG_PTR(3));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress) {
        for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             entry->Name; ++entry) {
            std::string name(reinterpret_cast<const char*>(base + entry->Name));
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            names.push_back(name);
        }
    }
    FreeLibrary(mapped);
    return names;
}

} // namespace

// Secure sockets, the version check, links, bubbles and sounds load their
// system DLLs on first use: a session without them does not pay for their
// loading at start.
TEST(LoadTimeImports, DllsOfRareFeaturesWaitForTheirFirstUse)
{
    for (const wchar_t* module : {L"JOV.exe", L"jov_common.dll"}) {
        const std::vector<std::string> bound = BoundAtLoad(module);
        ASSERT_FALSE(bound.empty()) << "cannot read the imports of a module";
        EXPECT_NE(std::find(bound.begin(), bound.end(), "kernel32.dll"), bound.end());
        for (const char* dll : {"crypt32.dll", "secur32.dll", "wininet.dll", "shell32.dll", "ole32.dll", "winmm.dll"})
            EXPECT_EQ(std::find(bound.begin(), bound.end(), dll), bound.end()) << dll;
    }
}
