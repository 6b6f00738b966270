// A skin manager over a folder tree of its own ("Skins", "Smilies", "Langs",
// "Protos" with a copy of the ICQ plug-in), with a bus, a settings store over
// a file of that tree, a protocol plug-in manager, and a host that records
// what the windows are told.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ServiceIds.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"
#include "core/skins/SkinManagerImpl.h"
#include "skins/SkinsTestSupport.h"

// Colours 0xRR0000 + index, so each file tells itself apart.
std::vector<COLORREF> NumberedColours(COLORREF base, int count = Skins::kColourCount);
// An "icolors.ini" holding those values.
std::string ColoursFile(const std::vector<COLORREF>& colours);

class CTestSkinHost final : public Skins::CSkinManagerHost {
public:
    CTestSkinHost();
    ~CTestSkinHost();
    unsigned int GetLanChangedEventId() override { return eventId; }
    HWND GetMessageWindow() override { return window; }
    void StopSmileyAnimation() override { notices.push_back(-1); }

    unsigned int eventId = 0;
    HWND window = nullptr;
    // WM_USER+105 word parameters as they came; -1 for an animation stop.
    std::vector<int> notices;
};

class SkinManagerTest : public testing::Test {
protected:
    static constexpr COLORREF kDefaultBase = 0x100000;
    static constexpr COLORREF kBlueBase = 0x200000;

    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<Skins::CSkinManagerImpl> Make();
    // Deletes the manager and the store (which saves), then opens the store again.
    void ReopenStore();
    // A store over a new, empty settings file.
    void FreshStore();
    void StartProtocols();
    void Skin(const std::wstring& name, COLORREF base, bool withImages = true);
    std::wstring SkinFile(const std::wstring& skin, const wchar_t* file) const
    {
        return L"Skins\\" + skin + L"\\" + file;
    }

    CTempTree tree;
    CTestSkinHost host;
    std::unique_ptr<Services::CServicesManagerImpl> bus = std::make_unique<Services::CServicesManagerImpl>(10000);
    std::unique_ptr<Database::CJOVDatabase> store;
    unsigned int storeId = 0;
    std::unique_ptr<Protocols::CProtocolsManagerImpl> protocols;
};
