// The skin manager: the chosen skin (a folder of PNG images and "icolors.ini"),
// the 21 colours of every known skin, the images of the program and of the
// plug-ins, the background brush, the smilies set and the program's language.
// Served on the bus under GUID_SkinManager; its settings live in the section
// of the same identifier.
//
// Threads: the UI thread creates and destroys it and applies the user's
// choice; the accounts' queue threads add, release and draw their images.
// One lock guards the image table, the brushes, the skin records and the
// choice; it is held across a draw (a bitmap fits one device context at a
// time) and never while the messaging window is told of a new smilies set.
// Another guards the smilies set against its replacement while a thread
// other than the UI thread reads it (a bubble's text, on the contact list's).
//
// Start-up creates it after the main window and before the contact list, and
// deletes it after the sockets manager and before the settings store (its
// destructor saves its settings there).
#pragma once

#include <windows.h>

#include <functional>

#include "JOVArray.h"
#include "Localization.h"
#include "ServicesManager.h"
#include "SkinManager.h"
#include "core/skins/JOVImage.h"
#include "core/skins/SkinColors.h"
#include "core/skins/SkinManagerHost.h"
#include "core/skins/SmiliesPack.h"

namespace Database {
class CJOVDatabase;
}

namespace Skins {

// The user's choice, as the Interface page copies it and hands it back.
struct SkinChoice {
    CJOVString skin;
    CJOVString smilies;
    BOOL textSmilies = FALSE;  // smilies shown as text only
    int smiliesNumber = 10;    // pictures per chat view, 0 to 99; 0 keeps codes as text
    CJOVString language;
};

extern const wchar_t kDefaultSkin[];     // "JOV PDA skin"
extern const wchar_t kDefaultSmilies[];  // "JOV PDA smilies"

class CSkinManagerImpl final : public CSkinManager {
public:
    struct Skin {
        CJOVString name;
        COLORREF colours[kColourCount];
    };
    struct Image {
        CJOVImage* image = nullptr;  // owned; null until first drawn
        CJOVString file;             // a skin file, or protocol name \ file
        int refCount = 0;            // plug-in images only
        CJOVString path;             // plug-in images: the file in the plug-in's folder
    };

    // appDir: the folder holding "Skins", "Smilies" and "Langs", with its
    // trailing backslash.
    CSkinManagerImpl(Services::CServicesManager* bus, CSkinManagerHost* host, const CJOVString& appDir = GetAppDir());
    ~CSkinManagerImpl();
    CSkinManagerImpl(const CSkinManagerImpl&) = delete;
    CSkinManagerImpl& operator=(const CSkinManagerImpl&) = delete;

    BOOL DrawImage(unsigned int id, CJOVDrawContext* dc, int left, int top, int right, int bottom, bool alpha,
                   unsigned int constantAlpha) override;
    int AddImage(const JOV_GUID& protocol, const CJOVString& file) override;
    void ReleaseImage(unsigned int id) override;
    HBRUSH GetBackgroundBrush(int kind) override;
    HBITMAP CreateBackgroundBitmap(int kind, HWND window) override;

    // The program's text of that id in the current language; false when the
    // language file has none (the caller then shows its English text).
    bool GetString(int id, CJOVString& out);
    CJOVString GetLanguageName();
    // The current set once its loader has finished (shows the wait cursor
    // meanwhile). UI thread; valid until the next ApplySettings.
    CSmiliesPack* GetSmilies();
    // Any thread: read sees the current set once loaded, and the set is not
    // replaced until read returns (keep it short). Nothing is read while
    // there is no set. The wait for a set still loading holds no lock.
    void ReadSmilies(const std::function<void(CSmiliesPack&)>& read);
    SkinChoice GetSkinChoice();
    // The current skin's 21 colours, by the indexes of SkinColors.h; never
    // null, and stays valid for the manager's life.
    const COLORREF* GetColors();
    // From the skin's record, else from its "icolors.ini" (the read's result).
    BOOL GetSkinColors(const CJOVString& skin, COLORREF* colours);
    BOOL SetSkinColors(const CJOVString& skin, const COLORREF* colours);
    void ApplySettings(const SkinChoice& choice);
    void LoadSettings();
    void SaveSettings();

    int GetImageCount();
    int GetSkinCount();

private:
    CJOVImage* LoadedImage(unsigned int id);
    void DropFixedImages();
    void InitLocalization();
    void CreateStartSmilies();
    // Replaces the set; a null name makes the empty pack of text smilies.
    void ReplaceSmilies(const CJOVString* name);
    // Puts pack in the set's place and deletes the old one once no reader holds it.
    void ReplaceSmiliesWith(CSmiliesPack* pack);
    void NotifySmilies(WPARAM phase);

    Skin* FindSkin(const CJOVString& name);
    void MakeCurrentSkinCurrent();
    void AddCurrentSkin();
    BOOL ReadSkinColours(const CJOVString& skin, COLORREF* colours);
    void ReadSkinsValue(Database::CJOVDatabase* store);
    void DropSkinsWithoutFolder();
    Database::CJOVDatabase* Store();

    Services::CServicesManager* const m_bus;
    CSkinManagerHost* const m_host;
    const CJOVString m_appDir;
    unsigned int m_serviceId;
    SkinChoice m_choice;
    CJOVArray<Skin*> m_skins;
    COLORREF* m_colours;
    CJOVArray<Image> m_images;
    // The last is the current skin's; the older ones may still be selected
    // somewhere, so all are kept until the manager ends.
    CJOVArray<HBRUSH> m_brushes;
    CSmiliesPack* m_smilies;
    CLocalization* m_localization;
    CRITICAL_SECTION m_lock;
    CRITICAL_SECTION m_smiliesLock;
};

} // namespace Skins
