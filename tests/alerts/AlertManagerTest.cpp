// The alert manager as the windows and plug-ins use it: which alerts sound and
// vibrate under the user's settings, the table of alerts, and the settings
// kept across runs.
#include <gtest/gtest.h>

#include "alerts/AlertsFixture.h"
#include "core/settings/NamedValueMap.h"

namespace {

const JOV_GUID kPlugin = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};

struct MatrixCase {
    const char* what;
    BOOL disableSounds;
    BOOL disableVibrate;
    BOOL softMode;
    int status;  // -1: the status cannot be had
    int use;
    unsigned int alert;
    bool played;
    bool sound;
    bool vibration;
};

const MatrixCase kMatrix[] = {
    {"incoming message, all on", FALSE, FALSE, FALSE, 2, 1, 2, true, true, true},
    {"message sent never vibrates", FALSE, FALSE, FALSE, 2, 1, 3, true, true, false},
    {"sounds off: incoming still vibrates", TRUE, FALSE, FALSE, 2, 1, 2, true, false, true},
    {"sounds off: message sent does nothing", TRUE, FALSE, FALSE, 2, 1, 3, true, false, false},
    {"vibration off: sound only", FALSE, TRUE, FALSE, 2, 1, 2, true, true, false},
    {"both off", TRUE, TRUE, FALSE, 2, 1, 2, false, false, false},
    {"soft mode, Not Available", FALSE, FALSE, TRUE, 12, 1, 2, false, false, false},
    {"soft mode, Occupied", FALSE, FALSE, TRUE, 13, 1, 4, false, false, false},
    {"soft mode, Away", FALSE, FALSE, TRUE, 11, 1, 2, true, true, true},
    {"soft mode, Do not Disturb", FALSE, FALSE, TRUE, 14, 1, 3, true, true, false},
    {"soft mode, status unknown", FALSE, FALSE, TRUE, -1, 1, 1, true, true, false},
    {"Occupied without soft mode", FALSE, FALSE, FALSE, 13, 1, 2, true, true, true},
    {"alert switched off", FALSE, FALSE, FALSE, 2, 0, 2, true, false, false},
    {"unknown alert", FALSE, FALSE, FALSE, 2, 1, 77, false, false, false},
};

} // namespace

TEST_F(AlertsTest, PlaysSoundAndVibrationAsTheSettingsSay)
{
    m_folder.AddScheme(L"JOV PDA sounds", SchemeIni());
    for (const MatrixCase& test : kMatrix) {
        SCOPED_TRACE(test.what);
        int status = test.status;
        Alert::CAlertManagerImpl& manager = Start([status](int* out) {
            *out = status;
            return status >= 0;
        });
        Alert::AlertSettings settings = manager.GetSettings();
        settings.disableSounds = test.disableSounds;
        settings.disableVibrate = test.disableVibrate;
        settings.useSoftMode = test.softMode;
        manager.SetSettings(settings);
        Alert::AlertInfo alert;
        if (manager.GetAlert(test.alert, &alert))
            manager.SetAlertSound(test.alert, alert.wavPath, test.use);
        Platform::ClearLedSwitches();
        CSoundRecorder::Take();

        EXPECT_EQ(manager.PlayAlert(test.alert), test.played);
        std::vector<PlayedSound> sounds = CSoundRecorder::Take();
        ASSERT_EQ(sounds.size(), test.sound ? 1u : 0u);
        if (test.sound) {
            EXPECT_EQ(sounds[0].path, Str(alert.wavPath));
            EXPECT_EQ(sounds[0].flags, 0x20013u) << "file, asynchronous, no default, no stop";
        }
        EXPECT_EQ(WaitForVibrations(1, test.vibration ? 2000 : 150), test.vibration ? 1 : 0);
    }
}

TEST_F(AlertsTest, FirstStartTakesTheFourAlertsFromTheDefaultScheme)
{
    m_folder.AddScheme(L"JOV PDA sounds", SchemeIni());
    Alert::CAlertManagerImpl& manager = Start();
    Alert::AlertSettings settings = manager.GetSettings();
    EXPECT_EQ(Str(settings.scheme), L"JOV PDA sounds");
    EXPECT_FALSE(settings.disableSounds || settings.disableVibrate || settings.useSoftMode);
    const wchar_t* files[] = {L"start.wav", L"in.wav", L"out.wav", L"online.wav"};
    for (unsigned int id = 1; id <= 4; ++id) {
        Alert::AlertInfo alert;
        ASSERT_TRUE(manager.GetAlert(id, &alert)) << id;
        EXPECT_EQ(Str(alert.wavPath), SchemePath(files[id - 1]));
        EXPECT_EQ(alert.use, 1);
        EXPECT_EQ(alert.name, 153 + id) << "names 154 to 157";
        EXPECT_EQ(alert.owner, JOV_GUID{});
    }
    EXPECT_EQ(m_bus.GetService(GUID_AlertManager), static_cast<Alert::CAlertManager*>(&manager));
    m_manager.reset();
    EXPECT_EQ(m_bus.GetService(GUID_AlertManager), nullptr) << "unregistered when it ends";
}

TEST_F(AlertsTest, WithoutASettingsStoreItStillPlaysTheDefaultScheme)
{
    m_folder.AddScheme(L"JOV PDA sounds", SchemeIni());
    CloseStore();
    Alert::CAlertManagerImpl& manager = Start();
    EXPECT_TRUE(manager.PlayAlert(1));
    ASSERT_EQ(CSoundRecorder::Take().size(), 1u);
}

TEST_F(AlertsTest, KeepsTheUsersSettingsAcrossRuns)
{
    m_folder.AddScheme(L"JOV PDA sounds", SchemeIni());
    m_folder.AddScheme(L"Quiet", SchemeIni("a.wav", "b.wav", "c.wav", "d.wav"));
    Alert::CAlertManagerImpl& first = Start();
    Alert::AlertSettings settings;
    settings.disableSounds = FALSE;
    settings.disableVibrate = TRUE;
    settings.useSoftMode = TRUE;
    settings.scheme = CJOVString(L"Quiet");
    first.SetSettings(settings);
    first.SetAlertSound(2, CJOVString(L"C:\\Sounds\\\x00E9t\x00E9.wav"), 1);
    first.SetAlertSound(3, CJOVString(L"C:\\x.wav"), 0);
    Restart();

    // The stored form: three bytes, the scheme, and "Standard Alerts" as
    // packed maps of "Wav" (UTF-8) and "Use".
    unsigned char byte = 9;
    EXPECT_TRUE(m_store->GetByte(GUID_AlertManager, CJOVString(L"Disable Vibrate"), &byte));
    EXPECT_EQ(byte, 1);
    unsigned size = 0;
    ASSERT_TRUE(m_store->GetValueSize(GUID_AlertManager, CJOVString(L"Standard Alerts"), &size));
    std::vector<unsigned char> blob(size);
    ASSERT_TRUE(m_store->GetData(GUID_AlertManager, CJOVString(L"Standard Alerts"), blob.data(), &size));
    NamedValueMap outer;
    ASSERT_EQ(outer.Unpack(blob.data(), size), size);
    EXPECT_EQ(outer.GetCount(), 4);
    NamedValueMap inner;
    const NamedValue* second = outer.Find(CJOVString(L"2"));
    ASSERT_NE(second, nullptr);
    inner.Unpack(second->GetData(), second->GetSize());
    ASSERT_NE(inner.Find(CJOVString(L"Wav")), nullptr);
    EXPECT_EQ(inner.Find(CJOVString(L"Wav"))->GetSize(), 19u) << "UTF-8: two bytes for each accented letter";
    EXPECT_EQ(inner.Find(CJOVString(L"Use"))->AsByte(), 1);

    Alert::CAlertManagerImpl& second_run = Start();
    Alert::AlertSettings read = second_run.GetSettings();
    EXPECT_FALSE(read.disableSounds);
    EXPECT_TRUE(read.disableVibrate);
    EXPECT_TRUE(read.useSoftMode);
    EXPECT_EQ(Str(read.scheme), L"Quiet");
    Alert::AlertInfo alert;
    ASSERT_TRUE(second_run.GetAlert(2, &alert));
    EXPECT_EQ(Str(alert.wavPath), L"C:\\Sounds\\\x00E9t\x00E9.wav");
    ASSERT_TRUE(second_run.GetAlert(3, &alert));
    EXPECT_EQ(alert.use, 0) << "a switched-off alert stays off";
    ASSERT_TRUE(second_run.GetAlert(1, &alert));
    EXPECT_EQ(Str(alert.wavPath), SchemePath(L"start.wav")) << "the user's table, not the new scheme's";
}

TEST_F(AlertsTest, AStoredSchemeThatIsGoneFallsBackToTheDefault)
{
    m_folder.AddScheme(L"JOV PDA sounds", SchemeIni());
    CJOVString gone(L"Gone");
    m_store->SetString(GUID_AlertManager, CJOVString(L"Scheme"), &gone);
    Alert::CAlertManagerImpl& manager = Start();
    EXPECT_EQ(Str(manager.GetSettings().scheme), L"JOV PDA sounds");
    Alert::AlertInfo alert;
    ASSERT_TRUE(manager.GetAlert(4, &alert));
    EXPECT_EQ(Str(alert.wavPath), SchemePath(L"online.wav"));
}

TEST_F(AlertsTest, AMissingOrDamagedStoredAlertComesBackFromTheScheme)
{
    m_folder.AddScheme(L"JOV PDA sounds", SchemeIni());
    // Alert 1 switched off by the user; alert 2 missing; alert 3 damaged
    // (no "Wav"); alert 4 cut short.
    NamedValueMap outer;
    auto entry = [&outer](const wchar_t* id, const NamedValueMap& inner) {
        std::vector<unsigned char> bytes(inner.GetPackedSize());
        inner.Pack(bytes.data(), static_cast<unsigned>(bytes.size()));
        outer.Set(NamedValue(CJOVString(id), bytes.data(), static_cast<unsigned>(bytes.size())));
    };
    NamedValueMap first;
    NamedValue wav(CJOVString(L"Wav"));
    wav.SetString(CJOVString(L"C:\\mine.wav"));
    first.Set(wav);
    NamedValue use(CJOVString(L"Use"));
    use.SetByte(0);
    first.Set(use);
    entry(L"1", first);
    NamedValueMap third;
    third.Set(use);
    entry(L"3", third);
    std::vector<unsigned char> blob(outer.GetPackedSize());
    outer.Pack(blob.data(), static_cast<unsigned>(blob.size()));
    const unsigned char cut[] = {1, '4', 200, 0, 0, 0, 1, 2};
    blob.insert(blob.end(), cut, cut + sizeof(cut));
    unsigned size = static_cast<unsigned>(blob.size());
    m_store->SetData(GUID_AlertManager, CJOVString(L"Standard Alerts"), blob.data(), &size);

    Alert::CAlertManagerImpl& manager = Start();
    Alert::AlertInfo alert;
    ASSERT_TRUE(manager.GetAlert(1, &alert));
    EXPECT_EQ(Str(alert.wavPath), L"C:\\mine.wav");
    EXPECT_EQ(alert.use, 0);
    const wchar_t* files[] = {nullptr, L"in.wav", L"out.wav", L"online.wav"};
    for (unsigned int id = 2; id <= 4; ++id) {
        ASSERT_TRUE(manager.GetAlert(id, &alert)) << id;
        EXPECT_EQ(Str(alert.wavPath), SchemePath(files[id - 1])) << id;
        EXPECT_EQ(alert.use, 1) << id;
    }
    Platform::ClearLedSwitches();
    EXPECT_TRUE(manager.PlayAlert(2));
    EXPECT_EQ(CSoundRecorder::Take().size(), 1u);
    EXPECT_EQ(WaitForVibrations(1, 2000), 1) << "the incoming message still vibrates";
}

TEST_F(AlertsTest, RegisteredAlertsAreKeptApartFromTheStandardOnes)
{
    m_folder.AddScheme(L"JOV PDA sounds", SchemeIni());
    Alert::CAlertManagerImpl& manager = Start();
    Alert::AlertInfo info;
    info.owner = kPlugin;
    info.name = 300;
    info.wavPath = CJOVString(L"C:\\plugin.wav");
    info.use = 1;
    unsigned int id = manager.RegisterAlert(&info);
    EXPECT_GE(id, 1000u);
    EXPECT_EQ(manager.RegisterAlert(&info), 0u) << "same owner and name";
    info.name = 301;
    unsigned int other = manager.RegisterAlert(&info);
    EXPECT_EQ(other, id + 1);
    EXPECT_EQ(manager.FindAlert(kPlugin, 300), id);
    EXPECT_EQ(manager.FindAlert(JOV_GUID{}, 155), 2u);
    EXPECT_EQ(manager.FindAlert(kPlugin, 155), 0u);

    CJOVArray<unsigned int> ids;
    manager.GetAlertIds(&ids);
    ASSERT_EQ(ids.Count(), 6);
    EXPECT_EQ(ids[0], 1u);
    EXPECT_EQ(ids[5], other);

    Platform::ClearLedSwitches();
    EXPECT_TRUE(manager.PlayAlert(id));
    ASSERT_EQ(CSoundRecorder::Take().size(), 1u);
    EXPECT_EQ(WaitForVibrations(1, 150), 0) << "only the incoming message vibrates";

    EXPECT_FALSE(manager.UnregisterAlert(4));
    EXPECT_TRUE(manager.GetAlert(4, nullptr));
    EXPECT_TRUE(manager.UnregisterAlert(id));
    EXPECT_FALSE(manager.UnregisterAlert(id));
    EXPECT_FALSE(manager.GetAlert(id, &info));
    manager.SetAlertSound(id, CJOVString(L"C:\\y.wav"), 1);
    EXPECT_FALSE(manager.GetAlert(id, &info)) << "setting an unknown alert adds nothing";

    // Loading a scheme starts the table afresh.
    EXPECT_TRUE(manager.LoadScheme());
    ids.RemoveAll();
    manager.GetAlertIds(&ids);
    EXPECT_EQ(ids.Count(), 4);
}

TEST_F(AlertsTest, PlaysThroughWinmmWhenTheFileIsMissing)
{
    // A missing file plays nothing and is not an error.
    m_folder.AddScheme(L"JOV PDA sounds", SchemeIni("missing.wav"));
    Platform::SetSoundPlayer(nullptr);
    Alert::CAlertManagerImpl& manager = Start();
    EXPECT_TRUE(manager.PlayAlert(1)) << "winmm's own player, a file that is not there";
}
