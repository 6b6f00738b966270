// Loading and saving a settings file that holds an ICQ account and its
// 1,000-contact lists (made by bench_icq --write-settings):
// - the settings store reading and writing the file, against reading and
//   writing the same bytes with no parsing (the same file calls: a new file,
//   flushed, then moved over the old one);
// - the program's services making the account and the model's list from the
//   store on "Loaded", and saving them into it at shut-down.
//
//   bench_settings <settings file> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AccountRig.h"
#include "bench/BenchRow.h"
#include "core/TempFolder.h"
#include "core/settings/JOVDatabase.h"

namespace {

const int kContacts = 1000;
const double kLoadTimeoutMs = 20000;

bool RawRead(const std::wstring& path, std::vector<unsigned char>* bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) != FALSE;
    bytes->resize(ok ? static_cast<size_t>(size.QuadPart) : 0);
    DWORD got = 0;
    ok = ok && (bytes->empty() || (ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &got, nullptr) &&
                                   got == bytes->size()));
    CloseHandle(file);
    return ok;
}

bool RawWrite(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    const std::wstring fresh = path + L".new";
    HANDLE file = CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    return ok && MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_settings <settings file> [runs]\n");
        return 2;
    }
    BeginRows();
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 15;
    CTempFolder folder;
    const std::wstring path = folder.File(L"settings.jov");
    std::vector<unsigned char> original;
    if (!RawRead(argv[1], &original) || original.empty()) {
        std::fprintf(stderr, "cannot read %ls\n", argv[1]);
        return 1;
    }
    CTempFolder::Write(path, original);

    std::vector<double> load, save, rawRead, rawWrite;
    for (int i = 0; i < runs; ++i) {
        double start = NowMs();
        auto* store = new Database::CJOVDatabase(Database::CSettingsFile(CJOVString(path.c_str())));
        load.push_back(NowMs() - start);
        start = NowMs();
        delete store;
        save.push_back(NowMs() - start);

        std::vector<unsigned char> bytes;
        start = NowMs();
        if (!RawRead(path, &bytes))
            return 1;
        rawRead.push_back(NowMs() - start);
        start = NowMs();
        if (!RawWrite(path, bytes))
            return 1;
        rawWrite.push_back(NowMs() - start);
    }
    // The store writes back what it read: anything else is a fault, not a figure.
    std::vector<unsigned char> after;
    if (!RawRead(path, &after) || after != original) {
        std::fprintf(stderr, "the settings file changed on its way through the store\n");
        return 1;
    }

    std::vector<double> accountsLoad, accountsSave;
    for (int i = 0; i < runs; ++i) {
        CAccountRig rig(path);
        const double start = NowMs();
        rig.Load();
        while (rig.ContactCount() < kContacts) {
            if (NowMs() - start > kLoadTimeoutMs) {
                std::fprintf(stderr, "the stored account and its %d contacts did not load\n", kContacts);
                return 1;
            }
            Sleep(1);
        }
        accountsLoad.push_back(NowMs() - start);
        const double closing = NowMs();
        rig.Close();
        accountsSave.push_back(NowMs() - closing);
        CTempFolder::Write(path, original);
    }

    char figure[64];
    std::snprintf(figure, sizeof(figure), "load %u kB", static_cast<unsigned>(original.size() / 1024));
    PrintRow(figure, load, "ms", "raw read", rawRead);
    std::snprintf(figure, sizeof(figure), "save %u kB", static_cast<unsigned>(original.size() / 1024));
    PrintRow(figure, save, "ms", "raw write", rawWrite);
    PrintRow("account, 1000 contacts made", accountsLoad, "ms");
    PrintRow("account, lists, file saved", accountsSave, "ms");
    return 0;
}
