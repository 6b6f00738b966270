#include <new>

#include "core/skins/SkinManagerImpl.h"

#include "CriticalSectionLock.h"
#include "ServiceIds.h"
#include "core/skins/JOVWindowsImage.h"
#include "core/skins/SkinFolders.h"
#include "core/skins/SkinImages.h"
#include "protocols/ProtocolsManager.h"

namespace Skins {

namespace {

CJOVString FolderOf(const CJOVString& path)
{
    int cut = -1;
    for (int at = path.Find(0, CJOVString(L"\\")); at >= 0; at = path.Find(at + 1, CJOVString(L"\\")))
        cut = at;
    return cut >= 0 ? path.Substring(0, cut + 1) : CJOVString();
}

} // namespace

CSkinManagerImpl::CSkinManagerImpl(Services::CServicesManager* bus, CSkinManagerHost* host, const CJOVString& appDir)
    : m_bus(bus), m_host(host), m_appDir(appDir), m_serviceId(0), m_skins(10), m_colours(nullptr), m_images(10),
      m_brushes(1), m_smilies(nullptr), m_localization(nullptr)
{
    InitializeCriticalSection(&m_lock);
    InitializeCriticalSection(&m_smiliesLock);
    if (m_bus)
        m_serviceId = m_bus->RegisterService(GUID_SkinManager, static_cast<CSkinManager*>(this));
    LoadSettings();
    for (int id = 0; id < kFixedImageCount; ++id) {
        Image record;
        record.file = CJOVString(GetSkinImageFile(id));
        m_images.Append(record);
    }
    m_brushes.Append(nullptr);
    InitLocalization();
    CreateStartSmilies();
}

CSkinManagerImpl::~CSkinManagerImpl()
{
    if (m_bus && m_serviceId)
        m_bus->UnregisterService(m_serviceId);
    SaveSettings();
    ReplaceSmiliesWith(nullptr);
    for (int i = 0; i < m_skins.Count(); ++i)
        delete m_skins[i];
    m_skins.RemoveAll();
    for (int i = 0; i < m_images.Count(); ++i)
        delete m_images[i].image;
    m_images.RemoveAll();
    for (int i = 0; i < m_brushes.Count(); ++i)
        if (m_brushes[i])
            DeleteObject(m_brushes[i]);
    delete m_localization;
    DeleteCriticalSection(&m_smiliesLock);
    DeleteCriticalSection(&m_lock);
}

int CSkinManagerImpl::GetImageCount()
{
    CCriticalSectionLock hold(m_lock);
    return m_images.Count();
}

// The caller holds the lock.
CJOVImage* CSkinManagerImpl::LoadedImage(unsigned int id)
{
    Image& record = m_images[static_cast<int>(id)];
    if (!record.image) {
        CJOVString path = id < kSkinImageCount
                              ? m_appDir + CJOVString(L"Skins\\") + m_choice.skin + CJOVString(L"\\") + record.file
                              : record.path;
        record.image = new (std::nothrow) CJOVWindowsImage(path);
    }
    return record.image;
}

BOOL CSkinManagerImpl::DrawImage(unsigned int id, CJOVDrawContext* dc, int left, int top, int right, int bottom,
                                 bool alpha, unsigned int constantAlpha)
{
    CCriticalSectionLock hold(m_lock);
    if (id >= static_cast<unsigned int>(m_images.Count()))
        return FALSE;
    if (CJOVImage* image = LoadedImage(id))
        image->Draw(dc, left, top, right, bottom, alpha, constantAlpha);
    return TRUE;
}

int CSkinManagerImpl::AddImage(const JOV_GUID& protocol, const CJOVString& file)
{
    auto* protocols =
        m_bus ? static_cast<Protocols::CProtocolsManager*>(m_bus->GetService(GUID_ProtocolsManager)) : nullptr;
    const Protocols::ProtocolEntry* entry = protocols ? protocols->FindProtocol(protocol) : nullptr;
    if (!entry)
        return -1;
    const CJOVString key = entry->info.name + CJOVString(L"\\") + file;

    CCriticalSectionLock hold(m_lock);
    for (int id = kSkinImageCount; id < m_images.Count(); ++id) {
        if (m_images[id].file == key) {
            ++m_images[id].refCount;
            return id;
        }
    }
    Image record;
    record.file = key;
    record.refCount = 1;
    // Beside the plug-in's library: its folder need not bear the protocol's name.
    record.path = FolderOf(entry->libraryPath) + file;
    return m_images.Append(record);
}

void CSkinManagerImpl::ReleaseImage(unsigned int id)
{
    CCriticalSectionLock hold(m_lock);
    if (id >= static_cast<unsigned int>(m_images.Count()))
        return;
    Image& record = m_images[static_cast<int>(id)];
    if (id >= kSkinImageCount) {
        if (record.refCount == 0)
            return;
        if (--record.refCount > 0)
            return;
    }
    delete record.image;
    record.image = nullptr;
}

HBRUSH CSkinManagerImpl::GetBackgroundBrush(int kind)
{
    if (kind != 0)
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    CCriticalSectionLock hold(m_lock);
    HBRUSH& brush = m_brushes.Last();
    if (brush)
        return brush;
    // One tile as large as the whole desktop: windows line it up by their
    // screen position.
    int side = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    if (GetSystemMetrics(SM_CYVIRTUALSCREEN) > side)
        side = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (side <= 0)
        side = 1;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP tile = CreateCompatibleBitmap(screen, side, side);
    ReleaseDC(nullptr, screen);
    if (memory && tile) {
        HGDIOBJ before = SelectObject(memory, tile);
        RECT all = {0, 0, side, side};
        // A skin without a background shows white.
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        CJOVDrawContext context(memory);
        if (CJOVImage* image = LoadedImage(kImageBackground))
            image->Draw(&context, 0, 0, side, side, false, 255);
        SelectObject(memory, before);
        brush = CreatePatternBrush(tile);
    }
    if (tile)
        DeleteObject(tile);
    if (memory)
        DeleteDC(memory);
    return brush ? brush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

HBITMAP CSkinManagerImpl::CreateBackgroundBitmap(int kind, HWND window)
{
    if (kind != 0 || !window)
        return nullptr;
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return nullptr;
    HBRUSH brush = GetBackgroundBrush(0);
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
    ReleaseDC(window, windowDc);
    if (memory && bitmap) {
        HGDIOBJ before = SelectObject(memory, bitmap);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        SetBrushOrgEx(memory, -origin.x, -origin.y, nullptr);
        FillRect(memory, &client, brush);
        SelectObject(memory, before);
    }
    if (memory)
        DeleteDC(memory);
    return bitmap;
}

bool CSkinManagerImpl::GetString(int id, CJOVString& out)
{
    return m_localization && m_localization->GetString(id, out);
}

CJOVString CSkinManagerImpl::GetLanguageName()
{
    CCriticalSectionLock hold(m_lock);
    return m_choice.language;
}

void CSkinManagerImpl::InitLocalization()
{
    m_localization = new (std::nothrow) CLocalization(m_appDir + CJOVString(L"Langs"), CJOVString(L"JOV_"));
    if (!m_localization)
        return;
    // The setting names the file really loaded after the localization's fallbacks.
    m_localization->ChangeLang(m_choice.language);
    m_localization->GetCurLang(m_choice.language);
}

CSmiliesPack* CSkinManagerImpl::GetSmilies()
{
    CSmiliesPack* pack = m_smilies;
    if (pack)
        pack->WaitLoaded();
    return pack;
}

void CSkinManagerImpl::ReadSmilies(const std::function<void(CSmiliesPack&)>& read)
{
    // The loader is waited for unlocked, so that a set switched meanwhile
    // does not wait for it too; the switch stops it, and the next round
    // takes the new set. Held through the read: the set stays whole.
    for (;;) {
        HANDLE loader = nullptr;
        {
            CCriticalSectionLock hold(m_smiliesLock);
            CSmiliesPack* pack = m_smilies;
            if (!pack)
                return;
            if (pack->IsLoaded()) {
                read(*pack);
                return;
            }
            loader = pack->OpenLoader();
        }
        if (loader) {
            WaitForSingleObject(loader, INFINITE);
            CloseHandle(loader);
        } else {
            Sleep(10);  // loaded just now, or no handle to wait on
        }
    }
}

void CSkinManagerImpl::CreateStartSmilies()
{
    if (m_choice.textSmilies) {
        m_smilies = new (std::nothrow) CSmiliesPack;
        return;
    }
    auto hasSet = [this](const CJOVString& name) {
        return FileExists(m_appDir + CJOVString(L"Smilies\\") + name + CJOVString(L"\\_define.ini"));
    };
    if (!hasSet(m_choice.smilies)) {
        if (m_choice.smilies == CJOVString(kDefaultSmilies) || !hasSet(CJOVString(kDefaultSmilies))) {
            m_smilies = new (std::nothrow) CSmiliesPack;
            return;
        }
        m_choice.smilies = CJOVString(kDefaultSmilies);
    }
    m_smilies = new (std::nothrow) CSmiliesPack(m_choice.smilies, m_appDir);
}

void CSkinManagerImpl::ReplaceSmilies(const CJOVString* name)
{
    // The new set takes the old one's place in one step: a reader that
    // waited for the old loader then finds the new set, never none.
    ReplaceSmiliesWith(name ? new (std::nothrow) CSmiliesPack(*name, m_appDir) : new (std::nothrow) CSmiliesPack);
}

void CSkinManagerImpl::ReplaceSmiliesWith(CSmiliesPack* pack)
{
    CSmiliesPack* old;
    {
        CCriticalSectionLock hold(m_smiliesLock);
        old = m_smilies;
        m_smilies = pack;
    }
    delete old;
}

void CSkinManagerImpl::NotifySmilies(WPARAM phase)
{
    HWND window = m_host ? m_host->GetMessageWindow() : nullptr;
    if (window)
        SendMessageW(window, kSmiliesChangeMessage, phase, 0);
}

} // namespace Skins
