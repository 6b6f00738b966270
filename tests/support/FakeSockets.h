// A sockets service that connects nothing: it records what the account asks
// (sockets, connections, every buffer sent) and hands out the bytes the test
// delivers, so that the test decides how the stream is cut.
#pragma once

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "SocketsManager.h"

class CFakeSockets : public JOVSockets::CSocketsManager {
public:
    typedef std::vector<unsigned char> Bytes;

    JOVSockets::CJOVSocket* CreateSocket(unsigned int) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_canCreate)
            return nullptr;
        m_slots.push_back(0);
        // Stable addresses: the slots are reserved up front.
        auto* socket = reinterpret_cast<JOVSockets::CJOVSocket*>(&m_slotStore[m_created++ % kSlots]);
        m_valid.push_back(socket);
        return socket;
    }
    bool IsValidSocket(JOVSockets::CJOVSocket* socket) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return std::find(m_valid.begin(), m_valid.end(), socket) != m_valid.end();
    }
    int DestroySocket(JOVSockets::CJOVSocket* socket) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_valid.erase(std::remove(m_valid.begin(), m_valid.end(), socket), m_valid.end());
        ++m_destroyed;
        return 0;
    }
    int Connect(JOVSockets::CJOVSocket*, const JOVSockets::SocketParams* params) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_connects.push_back(*params);
        m_incoming.clear();
        return m_connectResult;
    }
    int Send(JOVSockets::CJOVSocket*, const void* data, int length) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const auto* bytes = static_cast<const unsigned char*>(data);
        m_sent.emplace_back(bytes, bytes + length);
        return 0;
    }
    int Read(JOVSockets::CJOVSocket*, void* buffer, int length) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        int n = std::min<int>(length, static_cast<int>(m_incoming.size()));
        std::copy(m_incoming.begin(), m_incoming.begin() + n, static_cast<unsigned char*>(buffer));
        m_incoming.erase(m_incoming.begin(), m_incoming.begin() + n);
        return n;
    }
    void Close(JOVSockets::CJOVSocket*) override {}
    int SetKeepAlive(JOVSockets::CJOVSocket*, int) override { return 0; }
    int GetBufferedLength(JOVSockets::CJOVSocket*) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return static_cast<int>(m_incoming.size());
    }
    int GetReceiveBufferSize(JOVSockets::CJOVSocket*) override { return 65536; }
    JOVSockets::SocketParams GetProxySettings() override { return JOVSockets::SocketParams(); }
    void SetProxySettings(const JOVSockets::SocketParams&) override {}

    // Test side.
    void Buffer(const Bytes& bytes)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_incoming.insert(m_incoming.end(), bytes.begin(), bytes.end());
    }
    JOVSockets::CJOVSocket* Current()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_valid.empty() ? nullptr : m_valid.back();
    }
    std::vector<JOVSockets::SocketParams> Connects()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_connects;
    }
    // Every buffer sent, in order.
    std::vector<Bytes> SentBytes()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_sent;
    }
    void ClearSent()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_sent.clear();
    }
    void SetConnectResult(int result) { m_connectResult = result; }
    void SetCanCreate(bool can) { m_canCreate = can; }

private:
    static const int kSlots = 64;
    std::mutex m_lock;
    std::vector<int> m_slots;
    int m_slotStore[kSlots] = {};
    int m_created = 0;
    int m_destroyed = 0;
    std::vector<JOVSockets::CJOVSocket*> m_valid;
    std::vector<JOVSockets::SocketParams> m_connects;
    std::vector<Bytes> m_sent;
    Bytes m_incoming;
    int m_connectResult = 0;
    bool m_canCreate = true;
};
