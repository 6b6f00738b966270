// A bus of its own for each test, and helpers to register recording clients
// on it. Its send time-out is long, as a busy machine may need; the tests of
// giving up on a busy client ask for a short one.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/CountingArg.h"
#include "common/RecordingClient.h"
#include "common/Stopwatch.h"
#include "common/TestGate.h"
#include "core/bus/ServicesManagerImpl.h"

inline constexpr JOV_GUID kTestSender = {0xA1A2A3A4, 0xB1B2, 0xC1C2, {1, 2, 3, 4, 5, 6, 7, 8}};

inline bool Is(const CJOVString& name, const wchar_t* text) { return name == CJOVString(text); }

class BusTest : public ::testing::Test {
protected:
    static constexpr unsigned long kSendTimeoutMs = 10000;
    static constexpr unsigned long kShortTimeoutMs = 150;

    // Before any client is registered.
    void UseShortTimeout() { m_bus = std::make_unique<Services::CServicesManagerImpl>(kShortTimeoutMs); }

    // A new client registered on the bus; its id in *id.
    CRecordingClient& AddClient(unsigned int* id = nullptr, CRecordingClient::Handler handler = nullptr)
    {
        m_clients.push_back(std::make_unique<CRecordingClient>(std::move(handler)));
        unsigned int clientId = m_bus->RegisterEventsClient(m_clients.back().get(), CJOVString(L"client"));
        EXPECT_NE(clientId, 0u);
        if (id)
            *id = clientId;
        return *m_clients.back();
    }

    int Send(unsigned int clientId, const wchar_t* name, CEventArg* arg1 = nullptr, bool synchronous = true)
    {
        return m_bus->SendEventToClient(clientId, kTestSender, CJOVString(name), arg1, nullptr, synchronous);
    }

    // The bus goes first: its destructor ends the queues, dropping what they
    // still hold, so whatever argument is left alive then has leaked.
    void TearDown() override
    {
        m_bus.reset();
        EXPECT_EQ(CCountingArg::Live(), 0) << "an event argument leaked";
    }

    std::vector<std::unique_ptr<CRecordingClient>> m_clients;
    std::unique_ptr<Services::CServicesManagerImpl> m_bus =
        std::make_unique<Services::CServicesManagerImpl>(kSendTimeoutMs);
};
