#include "Localization.h"

#include "CriticalSectionLock.h"

#include <cwctype>

#include "ModuleExport.h"

namespace {

const char kMuiGetStringExport[] = "?MUI_GetString@@YA_NHAAVCJOVString@@@Z";

// File names compare without regard to case, as the file system finds them.
bool SameTextIgnoringCase(const wchar_t* a, const wchar_t* b, int n)
{
    for (int i = 0; i < n; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return true;
}

} // namespace

CLocalization::CLocalization(const CJOVString& folder, const CJOVString& prefix)
    : m_folder(folder), m_prefix(prefix), m_lookUp(nullptr), m_fallbackDone(false)
{
    const int n = m_folder.GetLength();
    if (n == 0 || (m_folder.Data()[n - 1] != L'\\' && m_folder.Data()[n - 1] != L'/'))
        m_folder += CJOVString(L"\\");
    m_basePath = m_folder + m_prefix;
    InitializeCriticalSection(&m_lock);
}

CLocalization::~CLocalization()
{
    m_lookUp.store(nullptr);
    for (int i = 0; i < m_modules.Count(); ++i)
        FreeLibrary(m_modules[i]);
    DeleteCriticalSection(&m_lock);
}

bool CLocalization::ChangeLang(const CJOVString& language)
{
    CCriticalSectionLock hold(m_lock);
    // The name alone proves nothing while no file is loaded (the first name is empty).
    if (m_lookUp.load() && language == m_curLang)
        return true;
    const CJOVString dll(L".dll");
    if (SetNewLangDll(m_basePath + language + dll, language)) {
        m_fallbackDone = true;
        return true;
    }
    if (m_fallbackDone)
        return false;
    m_fallbackDone = true;
    const CJOVString english(L"English");
    if (language != english && SetNewLangDll(m_basePath + english + dll, english))
        return true;
    CJOVArray<CJOVString> names;
    ScanLangsDirForLangs(names);
    const int prefixLength = m_prefix.GetLength();
    for (int i = 0; i < names.Count(); ++i) {
        const CJOVString& name = names[i];
        // Named as the language, never as the file: "JOV_Russian.dll" is "Russian".
        const CJOVString found = name.Substring(prefixLength, name.GetLength() - prefixLength - dll.GetLength());
        if (SetNewLangDll(m_folder + name, found))
            return true;
    }
    return false;
}

bool CLocalization::ChangeLangOrEnglish(const CJOVString& language)
{
    CCriticalSectionLock hold(m_lock);
    m_fallbackDone = true;
    if (m_lookUp.load() && language == m_curLang)
        return true;
    const CJOVString dll(L".dll");
    if (SetNewLangDll(m_basePath + language + dll, language))
        return true;
    const CJOVString english(L"English");
    if (language != english && SetNewLangDll(m_basePath + english + dll, english))
        return false;
    // The file stays loaded: a look-up may still be running in it.
    m_lookUp.store(nullptr);
    m_curLang = CJOVString();
    return false;
}

bool CLocalization::SetNewLangDll(const CJOVString& path, const CJOVString& language)
{
    CJOVString terminated(path);
    HMODULE module = LoadLibraryW(terminated);
    if (!module)
        return false;
    MuiGetStringFn lookUp = GetExport<MuiGetStringFn>(module, kMuiGetStringExport);
    if (!lookUp) {
        FreeLibrary(module);
        return false;
    }
    bool kept = false;
    for (int i = 0; i < m_modules.Count(); ++i) {
        if (m_modules[i] == module)
            kept = true;
    }
    if (kept)
        FreeLibrary(module);  // loaded once before: that reference is kept already
    else
        m_modules.Append(module);  // should this fail, the file stays loaded for good
    m_lookUp.store(lookUp);
    m_curLang = language;
    return true;
}

void CLocalization::ScanLangsDirForLangs(CJOVArray<CJOVString>& names) const
{
    names.RemoveAll();
    CJOVString pattern = m_basePath + CJOVString(L"*.dll");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    const int prefixLength = m_prefix.GetLength();
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // The pattern also matches by short names: check the long name itself.
        const int n = static_cast<int>(wcslen(found.cFileName));
        if (n <= prefixLength + 4 || !SameTextIgnoringCase(found.cFileName, m_prefix.Data(), prefixLength) ||
            !SameTextIgnoringCase(found.cFileName + n - 4, L".dll", 4))
            continue;
        names.Append(CJOVString(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool CLocalization::GetString(int id, CJOVString& out) const
{
    MuiGetStringFn lookUp = m_lookUp.load();
    return lookUp && lookUp(id, out);
}

bool CLocalization::GetCurLang(CJOVString& out) const
{
    CCriticalSectionLock hold(m_lock);
    if (!m_lookUp.load())
        return false;
    out = m_curLang;
    return true;
}

void CLocalization::SetWindowTextW(const CLocalization* localization, HWND window, int textId,
                                   const wchar_t* defaultText)
{
    CJOVString text;
    if (localization && localization->GetString(textId, text))
        ::SetWindowTextW(window, text);
    else
        ::SetWindowTextW(window, defaultText);
}

void CLocalization::SetWindowTextW(const CLocalization* localization, HWND dialog, int controlId, int textId,
                                   const wchar_t* defaultText)
{
    SetWindowTextW(localization, GetDlgItem(dialog, controlId), textId, defaultText);
}
