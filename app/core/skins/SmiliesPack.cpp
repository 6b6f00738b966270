#include <new>

#include "core/skins/SmiliesPack.h"

#include <algorithm>
#include <vector>

#include "FileBytes.h"
#include "core/skins/SmiliesDefinition.h"

namespace {

const DWORD kMaxDefinitionBytes = 1024 * 1024;

bool ReadWholeFile(const CJOVString& path, std::vector<unsigned char>& bytes)
{
    CJOVString name(path);
    return ReadFileBytes(name, kMaxDefinitionBytes, bytes) == FileBytesResult::Read;
}

// Every ".gif" of the folder, full paths in ascending order.
std::vector<CJOVString> SortedGifs(const CJOVString& folder)
{
    std::vector<CJOVString> paths;
    CJOVString pattern = folder + CJOVString(L"*.gif");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return paths;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            paths.push_back(folder + CJOVString(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(paths.begin(), paths.end());
    return paths;
}

HANDLE StartThread(LPTHREAD_START_ROUTINE routine, void* pack)
{
    HANDLE thread = CreateThread(nullptr, 0, routine, pack, CREATE_SUSPENDED, nullptr);
    if (thread) {
        SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
        ResumeThread(thread);
    }
    return thread;
}

} // namespace

CSmiliesPack::CSmiliesPack() : CJOVArray<CSmaily*>(10), m_loaded(1), m_loader(nullptr), m_frames(nullptr),
                               m_stop(nullptr)
{
}

CSmiliesPack::CSmiliesPack(const CJOVString& name, const CJOVString& appDir)
    : CJOVArray<CSmaily*>(10), m_loaded(0), m_loader(nullptr), m_frames(nullptr), m_name(name),
      m_folder(appDir + CJOVString(L"Smilies\\") + name + CJOVString(L"\\")),
      m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    m_loader = StartThread(LoaderThread, this);
    if (!m_loader) {
        SetLoaded();
        return;
    }
    m_frames = StartThread(FramesThread, this);
}

CSmiliesPack::~CSmiliesPack()
{
    if (m_stop)
        SetEvent(m_stop);
    for (HANDLE thread : {m_frames, m_loader}) {
        if (!thread)
            continue;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    if (m_stop)
        CloseHandle(m_stop);
    Clear();
}

CSmaily* CSmiliesPack::operator[](int index) const
{
    return index >= 0 && index < Count() ? At(index) : nullptr;
}

void CSmiliesPack::WaitLoaded()
{
    if (m_loaded || !m_loader)
        return;
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    WaitForSingleObject(m_loader, INFINITE);
    SetCursor(previous);
}

HANDLE CSmiliesPack::OpenLoader() const
{
    HANDLE copy = nullptr;
    if (!m_loaded && m_loader)
        DuplicateHandle(GetCurrentProcess(), m_loader, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    return copy;
}

void CSmiliesPack::Clear()
{
    for (int i = 0; i < Count(); ++i)
        delete At(i);
    RemoveAll();
    Compress();
}

bool CSmiliesPack::Stopping() const
{
    return m_stop && WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0;
}

void CSmiliesPack::SetLoaded()
{
    InterlockedExchange(&m_loaded, 1);
}

DWORD WINAPI CSmiliesPack::LoaderThread(void* pack)
{
    static_cast<CSmiliesPack*>(pack)->Load();
    return 0;
}

DWORD WINAPI CSmiliesPack::FramesThread(void* pack)
{
    static_cast<CSmiliesPack*>(pack)->RenderAll();
    return 0;
}

void CSmiliesPack::Load()
{
    Clear();
    std::vector<unsigned char> definition;
    if (!ReadWholeFile(m_folder + CJOVString(L"_define.ini"), definition)) {
        SetLoaded();
        return;
    }
    SmiliesCodes lines = ParseSmiliesDefinition(definition.data(), definition.size());
    // Line k takes the k-th GIF in name order; lines beyond the files go.
    std::vector<CJOVString> gifs = lines.empty() ? std::vector<CJOVString>() : SortedGifs(m_folder);
    const size_t count = std::min(lines.size(), gifs.size());
    for (size_t k = 0; k < count && !Stopping(); ++k) {
        CSmaily* smaily = new (std::nothrow) CSmaily;
        if (!smaily)
            break;
        for (CJOVString& code : lines[k])
            smaily->AddCode(code);
        smaily->LoadFile(gifs[k]);
        if (Append(smaily) < 0) {
            delete smaily;
            break;
        }
    }
    SetLoaded();
}

void CSmiliesPack::RenderAll()
{
    if (!m_loaded) {
        HANDLE wakers[2] = {m_loader, m_stop};
        WaitForMultipleObjects(m_stop ? 2 : 1, wakers, FALSE, INFINITE);
    }
    for (int i = 0; i < Count() && !Stopping(); ++i)
        At(i)->RenderFrames();
}
