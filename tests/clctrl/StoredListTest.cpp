// Start-up on the real bus with the real model, the real protocol manager and
// the accounts' test plug-in: a list stored by one run stands whole in the
// control's trees in the next, because the control, made first, hears of each
// account before the model announces the account's groups and contacts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CriticalSectionLock.h"
#include "ServiceIds.h"
#include "clctrl/FakeServices.h"
#include "contactlist/CLCtrl.h"
#include "core/TempFolder.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/clmodel/ContactListImpl.h"
#include "core/protocols/ProtocolsManagerImpl.h"
#include "core/settings/JOVDatabase.h"

struct CPanelInfo {
    int unused = 0;
};

namespace {

const JOV_GUID kGood = {0x33333333, 0x3333, 0x3333, {0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33}};

class CQuietHost final : public Protocols::CProtocolsManagerHost {
public:
    bool GetString(int, CJOVString&) override { return false; }
    CJOVString GetLanguageName() override { return CJOVString(L"English"); }
    void ShowWarning(unsigned int, const CJOVString&) override {}
};

class StoredListTest : public ::testing::Test {
protected:
    void Start(bool withControl)
    {
        m_store = std::make_unique<Database::CJOVDatabase>(Database::CSettingsFile(m_folder.Path(L"settings.jov")));
        m_storeId = m_bus->RegisterService(GUID_Database, m_store.get());
        if (withControl)
            m_control = std::make_unique<CCLCtrl>(*m_bus);
        m_model = std::make_unique<CL::CContactListImpl>(*m_bus);
        m_manager = std::make_unique<Protocols::CProtocolsManagerImpl>(
            m_bus.get(), &m_host, GetAppDir() + CJOVString(L"test_protos\\two\\Protos\\"));
        m_model->SetAccountDirectory(m_manager.get());
        m_bus->FireLoaded();
    }

    // As shut-down: the control, then the model (which saves while the
    // accounts still answer), the manager, the store.
    void Stop()
    {
        if (m_control)
            m_control->Stop();
        m_control.reset();
        m_model.reset();
        m_manager.reset();
        m_bus->UnregisterService(m_storeId);
        m_store.reset();
    }

    void TearDown() override { Stop(); }

    // The account tree as "account/group/contact" lines.
    std::vector<std::wstring> Tree()
    {
        std::vector<std::wstring> lines;
        CCriticalSectionLock hold(m_control->GetLock());
        for (CTreeItem* a = m_control->GetAccountTree()->GetFirstChild(); a; a = a->GetNext()) {
            const std::wstring account = Text(static_cast<CAccountItem*>(a)->GetName());
            for (CTreeItem* g = a->GetFirstChild(); g; g = g->GetNext()) {
                const std::wstring group = account + L"/" + Text(static_cast<CGroupItem*>(g)->GetName());
                lines.push_back(group);
                for (CTreeItem* c = g->GetFirstChild(); c; c = c->GetNext())
                    lines.push_back(group + L"/" + Text(static_cast<CContactItem*>(c)->GetName()));
            }
        }
        return lines;
    }

    CTempFolder m_folder;
    CQuietHost m_host;
    std::unique_ptr<Services::CServicesManagerImpl> m_bus = std::make_unique<Services::CServicesManagerImpl>(2000);
    std::unique_ptr<Database::CJOVDatabase> m_store;
    unsigned int m_storeId = 0;
    std::unique_ptr<CCLCtrl> m_control;
    std::unique_ptr<CL::CContactListImpl> m_model;
    std::unique_ptr<Protocols::CProtocolsManagerImpl> m_manager;
};

TEST_F(StoredListTest, AStoredListStandsWholeInTheTreesOfTheNextRun)
{
    Start(false);
    const unsigned int account = m_manager->AddAccount(kGood);
    ASSERT_NE(account, 0u);
    // "Added" reaches the model on its own thread: wait for its account entry.
    unsigned int groups[2] = {};
    for (DWORD start = GetTickCount(); !groups[0] && GetTickCount() - start < 5000; Sleep(5))
        groups[0] = m_model->CreateGroup(account);
    ASSERT_NE(groups[0], 0u);
    groups[1] = m_model->CreateGroup(account);
    const wchar_t* groupNames[] = {L"Friends", L"Work"};
    for (int i = 0; i < 2; ++i)
        m_model->SetString(groups[i], CJOVString(L"CL Alias"), CJOVString(groupNames[i]));
    const std::pair<int, const wchar_t*> contacts[] = {{0, L"bob"}, {0, L"Alice"}, {1, L"boss"}, {-1, L"stray"}};
    for (const auto& contact : contacts) {
        const unsigned int id = m_model->CreateContact(account, contact.first < 0 ? 0 : groups[contact.first]);
        m_model->SetString(id, CJOVString(L"CL Alias"), CJOVString(contact.second));
    }
    Stop();

    Start(true);
    const std::vector<std::wstring> expected = {
        L"/Friends", L"/Friends/Alice", L"/Friends/bob", L"/Work", L"/Work/boss", L"/Not in list", L"/Not in list/stray"};
    std::vector<std::wstring> tree;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(10)) {
        tree = Tree();
        if (tree.size() >= expected.size())
            break;
    }
    ASSERT_EQ(tree.size(), expected.size());
    const std::wstring prefix = tree[0].substr(0, tree[0].find(L'/'));
    EXPECT_EQ(prefix.rfind(L"Test", 0), 0u);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(tree[i], prefix + expected[i]);
    EXPECT_EQ(m_control->GetStatusRoot(1)->GetChildCount(), 3u);
    EXPECT_EQ(m_control->GetStatusRoot(2)->GetChildCount(), 1u);
}

} // namespace
