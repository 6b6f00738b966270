// The local ejabberd and Prosody, reached through the program's sockets
// manager (TLS checked against the fixture's authority): the builder's header
// opens a stream on each port, and the parser reads the server's header and
// features however the answer is cut.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "EventArgData.h"
#include "EventsClient.h"
#include "ServiceIds.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/sockets/JOVSocket.h"
#include "core/sockets/SocketsManagerImpl.h"
#include "xml/XmlBuilder.h"
#include "xmpp/StreamRecorder.h"
#include "xmpp/XmppServers.h"

namespace {

// Sends the stream header once connected and keeps every byte the server sends.
class CStreamOpener : public CEventsClient {
public:
    explicit CStreamOpener(JOVSockets::CSocketsManager& sockets) : m_sockets(sockets) {}
    virtual ~CStreamOpener() = default;

    int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override
    {
        auto* socket = dynamic_cast<CEventArg_Data<JOVSockets::CJOVSocket*>*>(arg1);
        if (sender != GUID_SocketsManager || !socket)
            return 0;
        std::lock_guard<std::mutex> hold(m_lock);
        if (name == CJOVString(L"Connect")) {
            if (arg2) {
                m_failed = true;
            } else {
                std::string header = ToString(MakeStreamHeader(CJOVString(L"localhost")).get());
                m_sockets.Send(socket->m_data, header.data(), static_cast<int>(header.size()));
            }
        } else if (name == CJOVString(L"Receive")) {
            char chunk[4096];
            int n;
            while ((n = m_sockets.Read(socket->m_data, chunk, sizeof chunk)) > 0)
                m_received.append(chunk, static_cast<size_t>(n));
        } else if (name == CJOVString(L"Close")) {
            m_failed = true;
        }
        m_changed.notify_all();
        return 0;
    }

    // The bytes up to the end of the server's features; empty when they did not come.
    std::string WaitForFeatures()
    {
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait_for(hold, std::chrono::seconds(15), [&] {
            return m_failed || m_received.find("</stream:features>") != std::string::npos;
        });
        return m_failed ? std::string() : m_received;
    }

private:
    JOVSockets::CSocketsManager& m_sockets;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::string m_received;
    bool m_failed = false;
};

struct Port {
    const char* name;
    bool tls;
    // Text that the server's features must hold.
    std::vector<std::string> features;
};

} // namespace

TEST(ServerStream, EachPortAnswersTheBuildersHeaderWithAHeaderAndFeaturesTheParserReads)
{
    REQUIRE_XMPP_SERVERS(servers);
    const Port ports[] = {
        {"ejabberd_plain", false, {"<mechanism>DIGEST-MD5</mechanism>", "<mechanism>PLAIN</mechanism>"}},
        {"ejabberd_tls", true, {"<mechanism>DIGEST-MD5</mechanism>", "<mechanism>PLAIN</mechanism>"}},
        // Prosody requires encryption on its plain port: no mechanism before it.
        {"prosody_plain", false, {"<starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'><required/></starttls>"}},
        {"prosody_tls", true, {"<mechanism>PLAIN</mechanism>"}},
    };
    auto bus = std::make_unique<Services::CServicesManagerImpl>();
    auto sockets = std::make_unique<JOVSockets::CSocketsManagerImpl>(*bus);
    for (const Port& port : ports) {
        SCOPED_TRACE(port.name);
        CStreamOpener opener(*sockets);
        unsigned int openerId = bus->RegisterEventsClient(&opener, CJOVString(L"opener"));
        JOVSockets::CJOVSocket* socket = sockets->CreateSocket(openerId);
        ASSERT_NE(socket, nullptr);
        JOVSockets::SocketParams params = sockets->GetProxySettings();
        params.host = CJOVString(L"localhost");
        params.port = servers->Port(port.name);
        params.sslMode = port.tls ? JOVSockets::kSslSsl : JOVSockets::kSslNone;
        ASSERT_EQ(sockets->Connect(socket, &params), 0);
        std::string answer = opener.WaitForFeatures();
        sockets->DestroySocket(socket);
        bus->UnregisterEventsClient(openerId);
        ASSERT_FALSE(answer.empty()) << "no stream features came";

        CStreamRecorder whole;
        ASSERT_TRUE(whole.Feed(answer));
        ASSERT_EQ(whole.Stanzas().size(), 1u);
        std::string features = whole.Stanzas()[0];
        EXPECT_EQ(features.rfind("<stream:features>", 0), 0u) << features;
        for (const std::string& feature : port.features)
            EXPECT_NE(features.find(feature), std::string::npos) << features;
        const std::string& header = whole.events[0];
        EXPECT_EQ(header.rfind("open1 <stream:stream ", 0), 0u) << header;
        EXPECT_NE(header.find(" from='localhost'"), std::string::npos) << header;
        EXPECT_NE(header.find(" version='1.0'"), std::string::npos) << header;
        EXPECT_NE(header.find(" id='"), std::string::npos) << header;

        for (size_t cut = 1; cut < answer.size(); ++cut) {
            CStreamRecorder split;
            ASSERT_TRUE(split.Feed(answer.substr(0, cut)));
            ASSERT_TRUE(split.Feed(answer.substr(cut)));
            ASSERT_EQ(split.events, whole.events) << "cut at byte " << cut;
        }
    }
    sockets.reset();
    for (int i = 0; i < 300 && JOVSockets::CJOVSocket::RunningWorkers() > 0; ++i)
        Sleep(10);
    EXPECT_EQ(JOVSockets::CJOVSocket::RunningWorkers(), 0);
}
