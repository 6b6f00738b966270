#include "core/alerts/AlertManagerImpl.h"

#include <atomic>
#include <vector>

#include "CriticalSectionLock.h"
#include "ServiceIds.h"
#include "Sound.h"
#include "core/DebugLine.h"
#include "core/alerts/SoundSchemes.h"
#include "core/alerts/StandardAlerts.h"
#include "core/settings/JOVDatabase.h"
#include "protocols/ProtocolsManager.h"

namespace Alert {

namespace {

const unsigned int kFirstRegistered = 1000;
const int kStatusNotAvailable = 12;
const int kStatusOccupied = 13;

// Shared by every manager of the process, as registered ids are.
std::atomic<unsigned int> s_nextAlertId{kFirstRegistered};

const wchar_t kDisableSounds[] = L"Disable Sounds";
const wchar_t kDisableVibrate[] = L"Disable Vibrate";
const wchar_t kUsingSoftMode[] = L"Using Soft Mode";
const wchar_t kScheme[] = L"Scheme";
const wchar_t kStandardAlerts[] = L"Standard Alerts";

Database::CJOVDatabase* Store(Services::CServicesManager* bus)
{
    return bus ? static_cast<Database::CJOVDatabase*>(bus->GetService(GUID_Database)) : nullptr;
}

BOOL ReadFlag(Database::CJOVDatabase* store, const wchar_t* name)
{
    unsigned char value = 0;
    return store->GetByte(GUID_AlertManager, CJOVString(name), &value) && value ? TRUE : FALSE;
}

void WriteFlag(Database::CJOVDatabase* store, const wchar_t* name, BOOL flag)
{
    unsigned char value = flag ? 1 : 0;
    store->SetByte(GUID_AlertManager, CJOVString(name), &value);
}

AlertInfo StandardAlert(unsigned int id, const CJOVString& path)
{
    AlertInfo info;
    info.name = StandardAlertName(id);
    info.wavPath = path;
    info.use = 1;
    return info;
}

} // namespace

CAlertManagerImpl::CAlertManagerImpl(Services::CServicesManager* bus, const AlertEnvironment& environment)
    : m_bus(bus), m_serviceId(0), m_environment(environment)
{
    InitializeCriticalSection(&m_lock);
    if (m_environment.programFolder.GetLength() == 0)
        m_environment.programFolder = GetAppDir();
    if (m_bus)
        m_serviceId = m_bus->RegisterService(GUID_AlertManager, static_cast<CAlertManager*>(this));
    LoadSettings();
    m_vibrator = std::make_unique<CVibrator>(m_environment.vibratorTimings);
}

CAlertManagerImpl::~CAlertManagerImpl()
{
    StoreSettings();
    {
        CCriticalSectionLock hold(m_lock);
        if (m_bus && m_serviceId)
            m_bus->UnregisterService(m_serviceId);
        m_alerts.clear();
        // The pulser is stopped with the lock held, so that no caller queues
        // a pulse into a pulser that is going.
        m_vibrator->Stop();
        m_vibrator.reset();
    }
    DeleteCriticalSection(&m_lock);
}

unsigned int CAlertManagerImpl::FindLocked(const JOV_GUID& owner, unsigned int name) const
{
    for (const auto& entry : m_alerts) {
        if (entry.second.owner == owner && entry.second.name == name)
            return entry.first;
    }
    return 0;
}

unsigned int CAlertManagerImpl::RegisterAlert(const AlertInfo* info)
{
    if (!info)
        return 0;
    CCriticalSectionLock hold(m_lock);
    if (FindLocked(info->owner, info->name))
        return 0;
    unsigned int id = s_nextAlertId++;
    m_alerts[id] = *info;
    return id;
}

bool CAlertManagerImpl::UnregisterAlert(unsigned int alertId)
{
    if (alertId < kFirstRegistered)
        return false;
    CCriticalSectionLock hold(m_lock);
    return m_alerts.erase(alertId) > 0;
}

bool CAlertManagerImpl::GetAlert(unsigned int alertId, AlertInfo* out)
{
    CCriticalSectionLock hold(m_lock);
    auto found = m_alerts.find(alertId);
    if (found == m_alerts.end())
        return false;
    if (out)
        *out = found->second;
    return true;
}

unsigned int CAlertManagerImpl::FindAlert(JOV_GUID owner, unsigned int name)
{
    CCriticalSectionLock hold(m_lock);
    return FindLocked(owner, name);
}

bool CAlertManagerImpl::QuietForStatus()
{
    int status = 0;
    bool known = false;
    if (m_environment.overallStatus) {
        known = m_environment.overallStatus(&status);
    } else if (m_bus) {
        auto* manager = static_cast<Protocols::CProtocolsManager*>(m_bus->GetService(GUID_ProtocolsManager));
        Protocols::Status overall = Protocols::StatusOffline;
        known = manager && manager->GetStatus(0, &overall) == 0;
        status = static_cast<int>(overall);
    }
    return known && (status == kStatusNotAvailable || status == kStatusOccupied);
}

bool CAlertManagerImpl::PlayAlert(unsigned int alertId)
{
    AlertSettings settings = GetSettings();
    if (settings.disableSounds && settings.disableVibrate)
        return false;
    // Asked before the lock is taken: the protocol plug-in manager has locks of its own.
    if (settings.useSoftMode && QuietForStatus()) {
        DebugLine(L"alert %u quiet: soft mode while Not Available or Occupied", alertId);
        return false;
    }
    CCriticalSectionLock hold(m_lock);
    auto found = m_alerts.find(alertId);
    if (found == m_alerts.end())
        return false;
    const AlertInfo& alert = found->second;
    if (!alert.use) {
        DebugLine(L"alert %u played: switched off", alertId);
        return true;
    }
    bool sound = !m_settings.disableSounds && alert.wavPath.GetLength() > 0;
    bool vibrate = !m_settings.disableVibrate && alertId == kAlertIncomingMessage && m_vibrator;
    CJOVString path = alert.wavPath;
    BOOL started = FALSE;
    if (sound)
        started = Platform::PlaySoundFile(static_cast<wchar_t*>(path), nullptr, kSoundFlags);
    if (vibrate)
        m_vibrator->Pulse();
    if (sound) {
        DebugLine(L"alert %u played: PlaySoundW(\"%ls\", 0x%X) %ls%ls", alertId, static_cast<wchar_t*>(path),
                  static_cast<unsigned>(kSoundFlags), started ? L"started" : L"failed",
                  vibrate ? L", vibration pulse" : L"");
    } else {
        DebugLine(L"alert %u played: no sound%ls", alertId, vibrate ? L", vibration pulse" : L"");
    }
    return true;
}

void CAlertManagerImpl::GetAlertIds(CJOVArray<unsigned int>* out)
{
    if (!out)
        return;
    CCriticalSectionLock hold(m_lock);
    for (const auto& entry : m_alerts)
        out->Append(entry.first);
}

void CAlertManagerImpl::SetAlertSound(unsigned int alertId, const CJOVString& wavPath, int use)
{
    CCriticalSectionLock hold(m_lock);
    auto found = m_alerts.find(alertId);
    if (found == m_alerts.end())
        return;
    found->second.wavPath = wavPath;
    found->second.use = use;
}

AlertSettings CAlertManagerImpl::GetSettings()
{
    CCriticalSectionLock hold(m_lock);
    return m_settings;
}

void CAlertManagerImpl::SetSettings(const AlertSettings& settings)
{
    CCriticalSectionLock hold(m_lock);
    m_settings = settings;
}

CJOVString CAlertManagerImpl::SchemeFolder() const
{
    return SoundSchemeFolder(m_environment.programFolder, m_settings.scheme);
}

bool CAlertManagerImpl::LoadScheme()
{
    CCriticalSectionLock hold(m_lock);
    return LoadSchemeLocked();
}

bool CAlertManagerImpl::LoadSchemeLocked()
{
    m_alerts.clear();
    std::vector<CJOVString> paths;
    bool all = ReadSchemeFile(SchemeFolder(), &paths);
    for (size_t i = 0; i < paths.size(); ++i) {
        unsigned int id = static_cast<unsigned int>(i + 1);
        m_alerts[id] = StandardAlert(id, paths[i]);
    }
    return all;
}

void CAlertManagerImpl::LoadSettings()
{
    CCriticalSectionLock hold(m_lock);
    m_settings = AlertSettings();
    m_settings.scheme = CJOVString(kDefaultSoundScheme);
    Database::CJOVDatabase* store = Store(m_bus);
    if (!store) {
        LoadSchemeLocked();
        return;
    }
    m_settings.disableSounds = ReadFlag(store, kDisableSounds);
    m_settings.disableVibrate = ReadFlag(store, kDisableVibrate);
    m_settings.useSoftMode = ReadFlag(store, kUsingSoftMode);
    CJOVString scheme;
    if (store->GetString(GUID_AlertManager, CJOVString(kScheme), &scheme)) {
        CJOVString folder = SoundSchemeFolder(m_environment.programFolder, scheme);
        folder = folder.Substring(0, folder.GetLength() - 1);
        if (!SoundSchemeExists(static_cast<wchar_t*>(folder))) {
            LoadSchemeLocked();
            return;
        }
        m_settings.scheme = scheme;
    }
    unsigned size = 0;
    std::vector<unsigned char> packed;
    if (store->GetValueSize(GUID_AlertManager, CJOVString(kStandardAlerts), &size) && size > 0) {
        packed.resize(size);
        if (!store->GetData(GUID_AlertManager, CJOVString(kStandardAlerts), packed.data(), &size))
            packed.clear();
    }
    if (packed.empty() || UnpackStandardAlerts(packed.data(), size, &m_alerts) == 0) {
        LoadSchemeLocked();
        return;
    }
    // An entry missing or damaged would silence that alert for good: it
    // comes from the scheme again, switched on.
    std::vector<CJOVString> paths;
    ReadSchemeFile(SchemeFolder(), &paths);
    for (unsigned int id = 1; id <= static_cast<unsigned int>(kSchemeAlertCount); ++id) {
        if (!m_alerts.count(id) && id <= paths.size())
            m_alerts[id] = StandardAlert(id, paths[id - 1]);
    }
}

void CAlertManagerImpl::StoreSettings()
{
    Database::CJOVDatabase* store = Store(m_bus);
    if (!store)
        return;
    CCriticalSectionLock hold(m_lock);
    WriteFlag(store, kDisableSounds, m_settings.disableSounds);
    WriteFlag(store, kDisableVibrate, m_settings.disableVibrate);
    WriteFlag(store, kUsingSoftMode, m_settings.useSoftMode);
    store->SetString(GUID_AlertManager, CJOVString(kScheme), &m_settings.scheme);
    for (unsigned int id = 1; id <= static_cast<unsigned int>(kSchemeAlertCount); ++id) {
        if (!m_alerts.count(id))
            m_alerts[id] = StandardAlert(id, CJOVString());
    }
    std::vector<unsigned char> packed = PackStandardAlerts(m_alerts);
    unsigned size = static_cast<unsigned>(packed.size());
    store->SetData(GUID_AlertManager, CJOVString(kStandardAlerts), packed.data(), &size);
}

} // namespace Alert
