#include "langrun/LanguageTexts.h"

#include <windows.h>

CLanguageTexts::CLanguageTexts(const wchar_t* language)
{
    for (const wchar_t* component : {L"JOV", L"Verdel", L"Jabber"}) {
        auto file = std::make_unique<CLanguageFile>(LanguageFileName{component, language, 0});
        if (!file->IsOpen())
            file = std::make_unique<CLanguageFile>(LanguageFileName{component, L"English", 0});
        m_files[component] = std::move(file);
    }
}

bool CLanguageTexts::IcqTranslated() const
{
    return std::wstring(File(L"Verdel").FileName().language) != L"English";
}

std::set<std::wstring> CLanguageTexts::EnglishLeft(bool icqWindow) const
{
    std::set<std::wstring> english;
    for (const auto& file : m_files) {
        if (std::wstring(file.second->FileName().language) == L"English")
            continue;
        CLanguageFile original({file.second->FileName().component, L"English", 0});
        std::set<std::wstring> own;
        for (int id = 0; id <= file.second->LastId(); ++id)
            own.insert(file.second->Text(id));
        for (int id = 0; id <= original.LastId(); ++id) {
            if (!own.count(original.Text(id)))
                english.insert(original.Text(id));
        }
    }
    const CLanguageFile& icq = File(L"Verdel");
    for (int id = 0; icqWindow && !IcqTranslated() && id <= icq.LastId(); ++id)
        english.erase(icq.Text(id));
    return english;
}

std::set<std::wstring> CLanguageTexts::All() const
{
    std::set<std::wstring> all;
    for (const auto& file : m_files) {
        for (int id = 0; id <= file.second->LastId(); ++id)
            all.insert(file.second->Text(id));
    }
    return all;
}

std::string CLanguageTexts::AsDebugText(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    Encode(text, CP_UTF8, out);
    return out;
}
