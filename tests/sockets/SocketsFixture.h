// Each test gets a bus, a sockets manager with short timings and an owner
// registered on the bus, and leaves no socket worker running.
#pragma once

#include <gtest/gtest.h>
#include <winsock2.h>

#include <memory>

#include "core/sockets/JOVSocket.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "sockets/Peers.h"
#include "sockets/SocketOwner.h"
#include "support/FastSocketTimings.h"

using JOVSockets::CJOVSocket;
using JOVSockets::SocketParams;

class SocketsTest : public ::testing::Test {
protected:
    static JOVSockets::SocketTimings FastTimings() { return FastSocketTimings(); }

    void SetUp() override { Build(FastTimings(), JOVSockets::SocketIo::Platform()); }

    // For tests that need other timings or calls than SetUp's.
    void Build(const JOVSockets::SocketTimings& timings, const JOVSockets::SocketIo& io)
    {
        Dismantle();
        m_bus = std::make_unique<Services::CServicesManagerImpl>();
        m_manager = std::make_unique<JOVSockets::CSocketsManagerImpl>(*m_bus, timings, io);
        m_owner = std::make_unique<CSocketOwner>(*m_manager);
        m_ownerId = m_bus->RegisterEventsClient(m_owner.get(), CJOVString(L"owner"));
        ASSERT_NE(m_ownerId, 0u);
    }

    void TearDown() override
    {
        Dismantle();
        // A worker left running would later report to a bus that is gone.
        for (int i = 0; i < 300 && CJOVSocket::RunningWorkers() > 0; ++i)
            Sleep(10);
        EXPECT_EQ(CJOVSocket::RunningWorkers(), 0) << "a socket worker outlived its manager";
        m_bus.reset();
    }

    void Dismantle()
    {
        if (m_bus && m_ownerId)
            m_bus->UnregisterEventsClient(m_ownerId);
        m_ownerId = 0;
        m_manager.reset();
        m_owner.reset();
    }

    static SocketParams Direct(int port, const wchar_t* host = L"127.0.0.1")
    {
        SocketParams params;
        params.host = CJOVString(host);
        params.port = port;
        return params;
    }

    static SocketParams Through(int proxyType, int proxyPort, int port)
    {
        SocketParams params = Direct(port);
        params.proxyType = proxyType;
        params.proxyHost = CJOVString(L"127.0.0.1");
        params.proxyPort = proxyPort;
        return params;
    }

    static void WithLogin(SocketParams& params, const std::wstring& login, const std::wstring& password)
    {
        params.proxyAuth = true;
        params.proxyLogin = CJOVString(login.c_str());
        params.proxyPassword = CJOVString(password.c_str());
    }

    // A new socket of the owner, connecting; null when Connect refused.
    CJOVSocket* Open(const SocketParams& params)
    {
        CJOVSocket* socket = m_manager->CreateSocket(m_ownerId);
        EXPECT_NE(socket, nullptr);
        int result = m_manager->Connect(socket, &params);
        EXPECT_EQ(result, 0);
        return result == 0 ? socket : nullptr;
    }

    // "Connect" came, and without an error.
    ::testing::AssertionResult Connected()
    {
        if (!m_owner->WaitFor(L"Connect"))
            return ::testing::AssertionFailure() << "no \"Connect\"";
        SocketEvent event = m_owner->First(L"Connect");
        if (event.kind != SocketEvent::kNone)
            return ::testing::AssertionFailure() << "\"Connect\" with error " << event.value;
        return ::testing::AssertionSuccess();
    }

    // The peer sent "bye" and closed: "Close" came, with 0.
    ::testing::AssertionResult ClosedAfterBye()
    {
        if (!m_owner->WaitFor(L"Close"))
            return ::testing::AssertionFailure() << "no \"Close\"";
        if (m_owner->Received() != "bye\n")
            return ::testing::AssertionFailure() << "received \"" << m_owner->Received() << "\"";
        SocketEvent close = m_owner->First(L"Close");
        if (close.kind != SocketEvent::kInt || close.value != 0)
            return ::testing::AssertionFailure() << "\"Close\" of kind " << static_cast<int>(close.kind) << " with "
                                                 << close.value;
        return ::testing::AssertionSuccess();
    }

    // The error "Connect" came with; 0 when none came or it had none.
    long long ConnectError()
    {
        EXPECT_TRUE(m_owner->WaitFor(L"Connect"));
        SocketEvent event = m_owner->First(L"Connect");
        EXPECT_EQ(event.kind, SocketEvent::kInt);
        return event.value;
    }

    void Send(CJOVSocket* socket, const std::string& bytes)
    {
        ASSERT_EQ(m_manager->Send(socket, bytes.data(), static_cast<int>(bytes.size())), 0);
    }

    std::unique_ptr<Services::CServicesManagerImpl> m_bus;
    std::unique_ptr<JOVSockets::CSocketsManagerImpl> m_manager;
    std::unique_ptr<CSocketOwner> m_owner;
    unsigned int m_ownerId = 0;
};
