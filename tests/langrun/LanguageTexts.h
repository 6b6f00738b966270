// The texts of one language as its files hold them, for a test to look for
// in the running program; a component without a file of the language shows
// its English texts.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "LanguageFiles.h"

class CLanguageTexts {
public:
    explicit CLanguageTexts(const wchar_t* language);

    std::wstring Program(int id) const { return File(L"JOV").Text(id); }
    std::wstring Icq(int id) const { return File(L"Verdel").Text(id); }
    std::wstring Xmpp(int id) const { return File(L"Jabber").Text(id); }
    // True when the ICQ plug-in has a file of this language.
    bool IcqTranslated() const;

    // The English texts this language words otherwise: seen in a window,
    // they were left untranslated. In the ICQ plug-in's own windows its
    // English texts count only when it has a file of the language.
    std::set<std::wstring> EnglishLeft(bool icqWindow = false) const;

    // Every text of the three components as shown in this language.
    std::set<std::wstring> All() const;

    // As the program's debug output carries a text: in the system's code page.
    static std::string AsDebugText(const std::wstring& text);

private:
    const CLanguageFile& File(const wchar_t* component) const { return *m_files.at(component); }

    std::map<std::wstring, std::unique_ptr<CLanguageFile>> m_files;
};

std::string Narrow(const std::wstring& text);
