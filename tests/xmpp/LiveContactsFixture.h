// Accounts of the plug-in against the local servers, with a contact-list
// model in memory shared by them, and the independent client's sessions on
// the same servers (carol, and second sessions of alice and bob).
#pragma once

#include <string>

#include "cl/ContactList.h"
#include "xmpp/FakeContactList.h"
#include "xmpp/LiveAccountFixture.h"
#include "xmpp/ThirdClient.h"
#include "xmpp/XmppServers.h"

class LiveContactsTest : public LiveAccountTest {
protected:
    void SetUp() override
    {
        LiveAccountTest::SetUp();
        m_modelId = bus->RegisterService(GUID_ContactList, static_cast<CL::CContactList*>(&model));
        Create(*alice);
    }
    void TearDown() override
    {
        if (bob)
            bob->SetStatus(Protocols::StatusOffline);
        alice->SetStatus(Protocols::StatusOffline);
        bob.reset();
        third.reset();
        LiveAccountTest::TearDown();
    }

    // The independent client, or null with a failure.
    CThirdClient* Third(const CPeerFile* servers)
    {
        if (!third) {
            third = std::make_unique<CThirdClient>();
            EXPECT_TRUE(third->Open(servers->Port("third_client"))) << "no control line";
        }
        return third.get();
    }
    CLiveAccount& Bob()
    {
        if (!bob) {
            bob = std::make_unique<CLiveAccount>(*bus, 4);
            bob->settings.Set(L"Account name", L"bob");
            bob->settings.Set(L"Account password", L"bob-pw2");
            Create(*bob);
        }
        return *bob;
    }
    void Create(CLiveAccount& account) { Event(account, GUID_ProtocolsManager, L"Create"); }
    int Event(CLiveAccount& account, const JOV_GUID& sender, const wchar_t* name, CEventArg* arg1 = nullptr,
              CEventArg* arg2 = nullptr)
    {
        return bus->SendEventToClient(account.account->GetClientId(), sender, CJOVString(name), arg1, arg2, true);
    }
    // A menu item's action, as its callback hands it to the account.
    void Action(CLiveAccount& account, const wchar_t* name, unsigned int contactId)
    {
        Event(account, GUID_JabberProtocol, name, new CEventArg_Data<unsigned int>(contactId));
    }
    void Request(CLiveAccount& account, const wchar_t* name, CEventArg* arg1 = nullptr, CEventArg* arg2 = nullptr)
    {
        Event(account, GUID_ProtocolsManager, name, arg1, arg2);
    }
    // The contact of that JID in the account's part of the model; 0 for none.
    unsigned int ContactOf(CLiveAccount& account, const wchar_t* jid)
    {
        return model.Find(jid, true, account.account->GetAccountId());
    }
    unsigned int WaitForContact(CLiveAccount& account, const wchar_t* jid)
    {
        unsigned int id = 0;
        WaitFor([&] { return (id = ContactOf(account, jid)) != 0; });
        return id;
    }
    void SendText(CLiveAccount& account, unsigned int contactId, const std::wstring& text)
    {
        Protocols::MessageInfo message;
        message.contactId = contactId;
        message.text = CJOVString(text.c_str());
        Request(account, L"Send message", new CEventArg_Data<Protocols::MessageInfo>(message));
    }
    // The texts the model was handed for the contact, in order.
    std::vector<std::wstring> TextsOf(unsigned int contactId)
    {
        std::vector<std::wstring> texts;
        for (const auto& message : model.Messages()) {
            if (message.first == contactId)
                texts.emplace_back(message.second.text.Data(), message.second.text.GetLength());
        }
        return texts;
    }
    bool WaitForText(unsigned int contactId, const std::wstring& text, int timeoutMs = 10000)
    {
        return WaitFor([&] {
            for (const std::wstring& each : TextsOf(contactId)) {
                if (each == text)
                    return true;
            }
            return false;
        }, timeoutMs);
    }
    Protocols::Status StatusOf(unsigned int contactId) { return model.LastStatus(contactId).status; }

    CFakeContactList model;
    std::unique_ptr<CLiveAccount> bob;
    std::unique_ptr<CThirdClient> third;

private:
    unsigned int m_modelId = 0;
};

// The session name of a user of the third client on a server: "carol-prosody".
inline std::string SessionOf(const char* user, const std::string& server)
{
    return std::string(user) + "-" + server;
}

// A stanza's test: a message from the JID (with or without resource) holding the path.
inline std::function<bool(const CThirdClient::Stanza&)> MessageFrom(const std::string& jid, const std::string& path)
{
    return [jid, path](const CThirdClient::Stanza& stanza) {
        return stanza.Kind() == "message" && stanza.Get("message@from").compare(0, jid.size(), jid) == 0 &&
               stanza.Has(path);
    };
}
