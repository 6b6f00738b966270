#include "LanguageFiles.h"

#include <cstdio>

#include "ModuleExport.h"

const std::vector<LanguageFileName>& AllLanguageFiles()
{
    static const std::vector<LanguageFileName> files = {
        {L"JOV", L"English", CP_UTF8},    {L"JOV", L"Russian", 1251},    {L"JOV", L"Czech", CP_UTF8},
        {L"Verdel", L"English", CP_UTF8}, {L"Verdel", L"Czech", CP_UTF8}, {L"Jabber", L"English", CP_UTF8},
        {L"Jabber", L"Russian", 1251},    {L"Jabber", L"Czech", CP_UTF8},
    };
    return files;
}

int RequiredLastId(const std::wstring& component)
{
    if (component == L"JOV")
        return 200;
    if (component == L"Verdel")
        return 140;
    return 34;
}

CLanguageFile::CLanguageFile(const LanguageFileName& name) : m_name(name), m_module(nullptr), m_lookUp(nullptr)
{
    CJOVString path = GetAppDir() + CJOVString(L"Langs\\") + CJOVString(Name().c_str()) + CJOVString(L".dll");
    m_module = LoadLibraryW(path);
    if (m_module)
        m_lookUp = GetExport<MuiGetStringFn>(m_module, "?MUI_GetString@@YA_NHAAVCJOVString@@@Z");
    if (FILE* f = _wfopen(path, L"rb")) {
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof(chunk), f)) > 0)
            m_bytes.append(chunk, n);
        fclose(f);
    }
}

CLanguageFile::~CLanguageFile()
{
    if (m_module)
        FreeLibrary(m_module);
}

std::wstring CLanguageFile::Name() const
{
    return std::wstring(m_name.component) + L"_" + m_name.language;
}

bool CLanguageFile::Get(int id, CJOVString& out) const
{
    return m_lookUp && m_lookUp(id, out);
}

std::wstring CLanguageFile::Text(int id) const
{
    CJOVString text;
    return Get(id, text) ? ToWide(text) : std::wstring(L"(none)");
}

int CLanguageFile::LastId() const
{
    CJOVString text;
    int id = 0;
    while (id < 100000 && Get(id, text))
        ++id;
    return id - 1;
}

std::wstring ToWide(const CJOVString& s)
{
    return std::wstring(s.Data() ? s.Data() : L"", static_cast<size_t>(s.GetLength()));
}

bool Encode(const std::wstring& text, int codePage, std::string& out)
{
    out.clear();
    if (text.empty())
        return true;
    const int length = static_cast<int>(text.size());
    // UTF-8 takes no default character; the others must not silently use one.
    BOOL usedDefault = FALSE;
    BOOL* check = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    int n = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, check);
    if (n <= 0)
        return false;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(codePage, flags, text.data(), length, out.data(), n, nullptr, check);
    return !usedDefault;
}
