// The account of JabberAccountFixture.h with a contact-list model in memory,
// created as the protocols manager creates it, and logged in over the fake
// socket up to the roster's answer the test writes.
#pragma once

#include <string>

#include "cl/ContactList.h"
#include "xmpp/FakeContactList.h"
#include "xmpp/JabberAccountFixture.h"

class JabberContactsTest : public JabberAccountTest {
protected:
    void SetUp() override
    {
        JabberAccountTest::SetUp();
        m_modelId = m_bus->RegisterService(GUID_ContactList, static_cast<CL::CContactList*>(&m_model));
        Manager(L"Create");
    }
    void TearDown() override
    {
        m_account.reset();
        m_bus->UnregisterService(m_modelId);
        JabberAccountTest::TearDown();
    }

    // A PLAIN login over SSL up to the roster request; answers that
    // request's id. The bytes sent up to then are forgotten.
    std::string LogInToRoster(Protocols::Status status = Protocols::StatusOnline)
    {
        m_settings.SetByte(L"SSL", 1);
        EXPECT_EQ(SetStatus(status), 0);
        SocketEvent(L"Connect");
        const std::string header = "<?xml version='1.0'?><stream:stream xmlns='jabber:client' "
                                   "xmlns:stream='http://etherx.jabber.org/streams' id='s-2' from='localhost' "
                                   "version='1.0'>";
        Deliver(header);
        Deliver("<stream:features><mechanisms xmlns='urn:ietf:params:xml:ns:xmpp-sasl'>"
                "<mechanism>PLAIN</mechanism></mechanisms></stream:features>");
        Deliver("<success xmlns='urn:ietf:params:xml:ns:xmpp-sasl'/>");
        m_sockets.ClearSent();
        Deliver(header + "<stream:features><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'/></stream:features>");
        Deliver("<iq type='result' id='" + LastId() + "'><bind xmlns='urn:ietf:params:xml:ns:xmpp-bind'>"
                "<jid>alice@localhost/JOV PDA</jid></bind></iq>");
        EXPECT_GE(m_account->GetState(), 2);
        std::string id = LastId();
        m_sockets.ClearSent();
        return id;
    }
    // The login with a roster of these <item>s; the model's record starts afresh.
    void LogIn(const std::string& items = std::string(), Protocols::Status status = Protocols::StatusOnline)
    {
        std::string id = LogInToRoster(status);
        Deliver("<iq type='result' id='" + id + "'><query xmlns='jabber:iq:roster'>" + items + "</query></iq>");
        m_sockets.ClearSent();
        m_model.Forget();
    }
    // The id of the last stanza sent with one of ours.
    std::string LastId()
    {
        std::string all = AllSent();
        size_t at = all.rfind("id='jov_");
        if (at == std::string::npos)
            return std::string();
        at += 4;
        return all.substr(at, all.find('\'', at) - at);
    }

    // A roster push from the account's own server.
    void Push(const std::string& items, const std::string& from = std::string())
    {
        Deliver("<iq type='set' id='push" + std::to_string(++m_pushes) + "'" +
                (from.empty() ? std::string() : " from='" + from + "'") + "><query xmlns='jabber:iq:roster'>" +
                items + "</query></iq>");
    }

    unsigned int Contact(const wchar_t* jid) { return m_model.Find(jid, true); }
    unsigned int Group(const wchar_t* name) { return m_model.Find(name, false); }

    // What went out since the last ClearSent, as one text.
    std::string AllSent()
    {
        std::string all;
        for (const std::string& piece : Sent())
            all += piece;
        return all;
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    std::string LastWarning()
    {
        std::vector<std::wstring> all = Warnings();
        return all.empty() ? std::string() : std::string(all.back().begin(), all.back().end());
    }
    // The warnings posted by now (they are posted, not sent).
    size_t WaitForWarnings(size_t count)
    {
        WaitUntil([&] { return Warnings().size() >= count; }, 2000);
        return Warnings().size();
    }

    CFakeContactList m_model;
    unsigned int m_modelId = 0;
    int m_pushes = 0;
};
