// The user-interface texts of one deliverable, looked up by number in the
// chosen language file ("<folder>\<prefix><language>.dll").
//
// Used from the deliverable's UI thread and from its event thread (a plug-in
// switches language while handling "Lang change"): look-ups take no lock, and
// every language file loaded stays loaded until the localization is destroyed,
// so a look-up still running in the previous file never runs in freed code.
#pragma once

#include <atomic>
#include <windows.h>

#include "JOVArray.h"
#include "JOVString.h"

class JOV_COMMON_API CLocalization {
public:
    // folder: the "Langs" folder (no trailing backslash needed); prefix: "JOV_", "Verdel_", "Jabber_".
    CLocalization(const CJOVString& folder, const CJOVString& prefix);
    virtual ~CLocalization();
    CLocalization(const CLocalization&) = delete;
    CLocalization& operator=(const CLocalization&) = delete;

    // The first call of the object's life falls back to "English", then to any
    // file with the prefix; later failures keep the language loaded before.
    bool ChangeLang(const CJOVString& language);
    // For a plug-in following the program's language: that language's file,
    // else the English file, else nothing loaded (the built-in texts), so the
    // outcome never depends on the languages chosen before. False when no
    // file of that language is loaded.
    bool ChangeLangOrEnglish(const CJOVString& language);
    // False, out unchanged, when nothing is loaded or the file has no such text.
    bool GetString(int id, CJOVString& out) const;
    // The loaded language's name ("Russian"); false when nothing is loaded.
    bool GetCurLang(CJOVString& out) const;

    // Sets the window's (or the dialog control's) text to text id, else to the
    // default text; a null localization gives the default text.
    static void SetWindowTextW(const CLocalization* localization, HWND window, int textId,
                               const wchar_t* defaultText);
    static void SetWindowTextW(const CLocalization* localization, HWND dialog, int controlId, int textId,
                               const wchar_t* defaultText);

private:
    typedef bool (*MuiGetStringFn)(int id, CJOVString& out);

    bool SetNewLangDll(const CJOVString& path, const CJOVString& language);
    void ScanLangsDirForLangs(CJOVArray<CJOVString>& names) const;

    CJOVString m_folder;    // with its trailing backslash
    CJOVString m_prefix;
    CJOVString m_basePath;  // folder and prefix
    CJOVString m_curLang;
    std::atomic<MuiGetStringFn> m_lookUp;
    CJOVArray<HMODULE> m_modules;
    bool m_fallbackDone;
    mutable CRITICAL_SECTION m_lock;  // guards everything but the look-up
};
