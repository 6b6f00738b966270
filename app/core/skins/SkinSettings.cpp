// The user's choice: its settings, the colours of every known skin, and
// applying a new choice.
#include <cstring>
#include <vector>

#include <new>

#include "CriticalSectionLock.h"
#include "EventArgData.h"
#include "ServiceIds.h"
#include "core/settings/JOVDatabase.h"
#include "core/settings/NamedValueMap.h"
#include "core/skins/SkinFolders.h"
#include "core/skins/SkinImages.h"
#include "core/skins/SkinManagerImpl.h"

namespace Skins {

const wchar_t kDefaultSkin[] = L"JOV PDA skin";
const wchar_t kDefaultSmilies[] = L"JOV PDA smilies";

namespace {

const wchar_t kKeySkin[] = L"Skin";
const wchar_t kKeySmilies[] = L"Smailes";
const wchar_t kKeyTextSmilies[] = L"Text Smailes";
const wchar_t kKeySmiliesNumber[] = L"Smailes Num";
const wchar_t kKeyLanguage[] = L"Lang";
const wchar_t kKeySkins[] = L"Skins";
const wchar_t kKeySkinName[] = L"SN";
const wchar_t kKeySkinColours[] = L"SP";
const unsigned kColoursBytes = kColourCount * 4;
const int kMaxSmiliesNumber = 99;

int BoundSmiliesNumber(int number)
{
    return number < 0 ? 0 : number > kMaxSmiliesNumber ? kMaxSmiliesNumber : number;
}

CJOVString Decimal(int i)
{
    wchar_t text[16];
    wsprintfW(text, L"%d", i);
    return CJOVString(text);
}

bool SameNameIgnoringCase(const CJOVString& a, const CJOVString& b)
{
    CJOVString x(a), y(b);
    x.ToLower();
    y.ToLower();
    return x == y;
}

void PackColours(const COLORREF* colours, unsigned char* bytes)
{
    for (int i = 0; i < kColourCount; ++i)
        for (int k = 0; k < 4; ++k)
            bytes[i * 4 + k] = static_cast<unsigned char>(colours[i] >> (8 * k));
}

void UnpackColours(const unsigned char* bytes, COLORREF* colours)
{
    for (int i = 0; i < kColourCount; ++i)
        colours[i] = bytes[i * 4] | (bytes[i * 4 + 1] << 8) | (bytes[i * 4 + 2] << 16) |
                     (static_cast<COLORREF>(bytes[i * 4 + 3]) << 24);
}

std::vector<unsigned char> PackMap(const NamedValueMap& map)
{
    std::vector<unsigned char> bytes(map.GetPackedSize());
    if (!bytes.empty() && map.Pack(bytes.data(), static_cast<unsigned>(bytes.size())) != bytes.size())
        bytes.clear();
    return bytes;
}

} // namespace

Database::CJOVDatabase* CSkinManagerImpl::Store()
{
    return m_bus ? static_cast<Database::CJOVDatabase*>(m_bus->GetService(GUID_Database)) : nullptr;
}

int CSkinManagerImpl::GetSkinCount()
{
    CCriticalSectionLock hold(m_lock);
    return m_skins.Count();
}

CSkinManagerImpl::Skin* CSkinManagerImpl::FindSkin(const CJOVString& name)
{
    for (int i = 0; i < m_skins.Count(); ++i)
        if (m_skins[i]->name == name)
            return m_skins[i];
    return nullptr;
}

BOOL CSkinManagerImpl::ReadSkinColours(const CJOVString& skin, COLORREF* colours)
{
    return ReadColoursFile(m_appDir + CJOVString(L"Skins\\") + skin + CJOVString(L"\\icolors.ini"), colours);
}

const COLORREF* CSkinManagerImpl::GetColors()
{
    return m_colours;
}

SkinChoice CSkinManagerImpl::GetSkinChoice()
{
    CCriticalSectionLock hold(m_lock);
    return m_choice;
}

BOOL CSkinManagerImpl::GetSkinColors(const CJOVString& skin, COLORREF* colours)
{
    if (!colours)
        return FALSE;
    CCriticalSectionLock hold(m_lock);
    if (Skin* record = FindSkin(skin)) {
        std::memcpy(colours, record->colours, sizeof(record->colours));
        return TRUE;
    }
    return ReadSkinColours(skin, colours);
}

BOOL CSkinManagerImpl::SetSkinColors(const CJOVString& skin, const COLORREF* colours)
{
    if (!colours)
        return FALSE;
    CCriticalSectionLock hold(m_lock);
    Skin* record = FindSkin(skin);
    if (!record) {
        record = new (std::nothrow) Skin;
        if (!record)
            return FALSE;
        record->name = skin;
        if (m_skins.Append(record) < 0) {
            delete record;
            return FALSE;
        }
    }
    std::memcpy(record->colours, colours, sizeof(record->colours));
    return TRUE;
}

// A record for the current skin from its file; else the default skin's file;
// else the built-in colours. The record becomes current.
void CSkinManagerImpl::AddCurrentSkin()
{
    Skin* record = new (std::nothrow) Skin;
    if (!record) {
        m_colours = m_colours ? m_colours : const_cast<COLORREF*>(kDefaultColours);
        return;
    }
    record->name = m_choice.skin;
    if (!ReadSkinColours(m_choice.skin, record->colours)) {
        const CJOVString fallback(kDefaultSkin);
        if (m_choice.skin != fallback) {
            m_choice.skin = fallback;
            if (Skin* known = FindSkin(fallback)) {
                delete record;
                m_colours = known->colours;
                return;
            }
            record->name = fallback;
            if (!ReadSkinColours(fallback, record->colours))
                std::memcpy(record->colours, kDefaultColours, sizeof(kDefaultColours));
        } else {
            std::memcpy(record->colours, kDefaultColours, sizeof(kDefaultColours));
        }
    }
    if (m_skins.Append(record) < 0) {
        delete record;
        m_colours = m_colours ? m_colours : const_cast<COLORREF*>(kDefaultColours);
        return;
    }
    m_colours = record->colours;
}

void CSkinManagerImpl::MakeCurrentSkinCurrent()
{
    if (Skin* record = FindSkin(m_choice.skin))
        m_colours = record->colours;
    else
        AddCurrentSkin();
}

void CSkinManagerImpl::ReadSkinsValue(Database::CJOVDatabase* store)
{
    unsigned size = 0;
    if (!store->GetValueSize(GUID_SkinManager, CJOVString(kKeySkins), &size) || size == 0)
        return;
    std::vector<unsigned char> bytes(size);
    if (!store->GetData(GUID_SkinManager, CJOVString(kKeySkins), bytes.data(), &size))
        return;
    NamedValueMap entries;
    entries.Unpack(bytes.data(), size);
    for (int i = 0;; ++i) {
        const NamedValue* entry = entries.Find(Decimal(i));
        if (!entry)
            break;
        NamedValueMap fields;
        fields.Unpack(entry->GetData(), entry->GetSize());
        const NamedValue* name = fields.Find(CJOVString(kKeySkinName));
        const NamedValue* colours = fields.Find(CJOVString(kKeySkinColours));
        Skin* record = new (std::nothrow) Skin;
        if (!record)
            break;
        record->name = name ? name->AsString() : CJOVString();
        if (colours && colours->GetSize() == kColoursBytes)
            UnpackColours(colours->GetData(), record->colours);
        else if (!ReadSkinColours(record->name, record->colours)) {
            delete record;
            continue;
        }
        if (m_skins.Append(record) < 0) {
            delete record;
            break;
        }
        if (!m_colours && record->name == m_choice.skin)
            m_colours = record->colours;
    }
}

// A stored skin whose folder is gone is forgotten.
void CSkinManagerImpl::DropSkinsWithoutFolder()
{
    CJOVArray<const wchar_t*> folders;
    ListSkins(folders, m_appDir);
    for (int i = m_skins.Count() - 1; i >= 0; --i) {
        bool found = false;
        for (int k = 0; k < folders.Count() && !found; ++k)
            found = SameNameIgnoringCase(m_skins[i]->name, CJOVString(folders[k]));
        if (found)
            continue;
        if (m_colours == m_skins[i]->colours)
            m_colours = nullptr;
        delete m_skins[i];
        m_skins.Remove(i);
    }
    FreeNameList(folders);
}

void CSkinManagerImpl::LoadSettings()
{
    CCriticalSectionLock hold(m_lock);
    m_choice = SkinChoice();
    m_choice.skin = CJOVString(kDefaultSkin);
    m_choice.smilies = CJOVString(kDefaultSmilies);
    m_choice.language = CJOVString(L"English");
    Database::CJOVDatabase* store = Store();
    if (!store) {
        AddCurrentSkin();
        return;
    }
    store->GetString(GUID_SkinManager, CJOVString(kKeySkin), &m_choice.skin);
    store->GetString(GUID_SkinManager, CJOVString(kKeySmilies), &m_choice.smilies);
    unsigned char textSmilies = 0;
    if (store->GetByte(GUID_SkinManager, CJOVString(kKeyTextSmilies), &textSmilies))
        m_choice.textSmilies = textSmilies ? TRUE : FALSE;
    unsigned int number = 0;
    if (store->GetDWord(GUID_SkinManager, CJOVString(kKeySmiliesNumber), &number))
        m_choice.smiliesNumber = BoundSmiliesNumber(static_cast<int>(number));
    store->GetString(GUID_SkinManager, CJOVString(kKeyLanguage), &m_choice.language);

    m_colours = nullptr;
    ReadSkinsValue(store);
    DropSkinsWithoutFolder();
    if (!m_colours)
        AddCurrentSkin();
}

void CSkinManagerImpl::SaveSettings()
{
    Database::CJOVDatabase* store = Store();
    if (!store)
        return;
    CCriticalSectionLock hold(m_lock);
    store->SetString(GUID_SkinManager, CJOVString(kKeySkin), &m_choice.skin);
    store->SetString(GUID_SkinManager, CJOVString(kKeySmilies), &m_choice.smilies);
    store->SetString(GUID_SkinManager, CJOVString(kKeyLanguage), &m_choice.language);
    const unsigned char textSmilies = m_choice.textSmilies ? 1 : 0;
    store->SetByte(GUID_SkinManager, CJOVString(kKeyTextSmilies), &textSmilies);
    const unsigned int number = static_cast<unsigned int>(m_choice.smiliesNumber);
    store->SetDWord(GUID_SkinManager, CJOVString(kKeySmiliesNumber), &number);

    NamedValueMap entries;
    for (int i = 0; i < m_skins.Count(); ++i) {
        NamedValueMap fields;
        NamedValue name{CJOVString(kKeySkinName)};
        name.SetString(m_skins[i]->name);
        fields.Set(name);
        unsigned char colours[kColoursBytes];
        PackColours(m_skins[i]->colours, colours);
        fields.Set(NamedValue(CJOVString(kKeySkinColours), colours, kColoursBytes));
        std::vector<unsigned char> packed = PackMap(fields);
        entries.Set(NamedValue(Decimal(i), packed.data(), static_cast<unsigned>(packed.size())));
    }
    std::vector<unsigned char> packed = PackMap(entries);
    const unsigned size = static_cast<unsigned>(packed.size());
    store->SetData(GUID_SkinManager, CJOVString(kKeySkins), packed.data(), &size);
}

// The caller holds the lock.
void CSkinManagerImpl::DropFixedImages()
{
    for (int id = 0; id < kFixedImageCount && id < m_images.Count(); ++id) {
        delete m_images[id].image;
        m_images[id].image = nullptr;
    }
    // Windows may still paint with the old brush: it stays until the end.
    if (m_brushes.Last())
        m_brushes.Append(nullptr);
}

void CSkinManagerImpl::ApplySettings(const SkinChoice& choice)
{
    {
        CCriticalSectionLock hold(m_lock);
        if (choice.skin != m_choice.skin) {
            DropFixedImages();
            m_choice.skin = choice.skin;
        }
    }

    if (choice.language != m_choice.language && m_localization && m_localization->ChangeLang(choice.language)) {
        {
            CCriticalSectionLock hold(m_lock);
            m_choice.language = choice.language;
        }
        const unsigned int eventId = m_host ? m_host->GetLanChangedEventId() : 0;
        if (m_bus && eventId)
            m_bus->FireEvent(eventId, new CEventArg_Data<CJOVString>(choice.language), nullptr, false);
    }

    // The messaging window drops its pictures before a set goes and takes the
    // new set (or the text smilies) after; the lock is not held while it is told.
    const bool wasText = m_choice.textSmilies != FALSE;
    const bool nowText = choice.textSmilies != FALSE;
    if (wasText == nowText && (nowText || choice.smilies == m_choice.smilies)) {
        CCriticalSectionLock hold(m_lock);
        m_choice.smilies = choice.smilies;
    } else {
        if (!wasText) {
            if (m_host)
                m_host->StopSmileyAnimation();
            NotifySmilies(0);
        }
        {
            CCriticalSectionLock hold(m_lock);
            m_choice.smilies = choice.smilies;
            m_choice.textSmilies = nowText ? TRUE : FALSE;
        }
        ReplaceSmilies(nowText ? nullptr : &choice.smilies);
        NotifySmilies(1);
    }

    CCriticalSectionLock hold(m_lock);
    m_choice.smiliesNumber = BoundSmiliesNumber(choice.smiliesNumber);
    MakeCurrentSkinCurrent();
}

} // namespace Skins
