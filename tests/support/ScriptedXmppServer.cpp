#include "ScriptedXmppServer.h"

#include <expat.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <deque>

#include "LoopbackListener.h"

namespace {

typedef std::chrono::steady_clock Clock;

bool WaitReadable(SOCKET socket, int timeoutMs)
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval wait;
    wait.tv_sec = timeoutMs / 1000;
    wait.tv_usec = (timeoutMs % 1000) * 1000;
    return select(0, &readable, nullptr, nullptr, &wait) > 0;
}

int LeftMs(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

const CScriptedXmppServer::Element* CScriptedXmppServer::Element::Child(const std::string& childName) const
{
    for (const Element& child : children) {
        if (child.name == childName)
            return &child;
    }
    return nullptr;
}

std::string CScriptedXmppServer::Element::Attribute(const std::string& attribute) const
{
    auto found = attributes.find(attribute);
    return found == attributes.end() ? std::string() : found->second;
}

// The client's side of the stream: expat fed with the (inflated) bytes, its
// elements queued as they complete.
struct CScriptedXmppServer::Reader {
    XML_Parser parser = nullptr;
    int depth = 0;
    std::vector<Element> open;  // from the stanza down
    std::deque<Element> headers;
    std::deque<Element> elements;
    std::vector<std::string> seen;  // every header and element, in order
    std::string fed;                // the bytes parsed since the server last took them
    bool streamEnded = false;
    bool broken = false;
    bool compressed = false;
    z_stream inflater = {};
    z_stream deflater = {};

    Reader() { Reset(); }
    ~Reader()
    {
        if (parser)
            XML_ParserFree(parser);
        StopCompression();
    }

    void Reset()
    {
        if (!parser)
            parser = XML_ParserCreate(nullptr);
        else
            XML_ParserReset(parser, nullptr);
        XML_SetUserData(parser, this);
        // A long element counts once its last byte is in, not when more
        // bytes follow it.
        XML_SetReparseDeferralEnabled(parser, XML_FALSE);
        XML_SetElementHandler(parser, &Reader::Opened, &Reader::Closed);
        XML_SetCharacterDataHandler(parser, &Reader::Text);
        depth = 0;
        open.clear();
        headers.clear();
        elements.clear();
        streamEnded = false;
        broken = false;
    }

    bool StartCompression()
    {
        StopCompression();
        compressed = inflateInit(&inflater) == Z_OK && deflateInit(&deflater, Z_DEFAULT_COMPRESSION) == Z_OK;
        return compressed;
    }

    void StopCompression()
    {
        if (compressed) {
            inflateEnd(&inflater);
            deflateEnd(&deflater);
        }
        std::memset(&inflater, 0, sizeof inflater);
        std::memset(&deflater, 0, sizeof deflater);
        compressed = false;
    }

    // Bytes from the wire: inflated when compressed, then parsed.
    bool Feed(const char* data, int length)
    {
        if (!compressed)
            return Parse(data, length);
        inflater.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        inflater.avail_in = static_cast<uInt>(length);
        char out[4096];
        do {
            inflater.next_out = reinterpret_cast<Bytef*>(out);
            inflater.avail_out = sizeof out;
            int result = inflate(&inflater, Z_SYNC_FLUSH);
            if (result != Z_OK && result != Z_BUF_ERROR)
                return false;
            if (!Parse(out, static_cast<int>(sizeof out - inflater.avail_out)))
                return false;
        } while (inflater.avail_out == 0);
        return true;
    }

    bool Parse(const char* data, int length)
    {
        fed.append(data, static_cast<size_t>(length));
        if (length > 0 && XML_Parse(parser, data, length, XML_FALSE) == XML_STATUS_ERROR)
            broken = true;
        return !broken;
    }

    // Text for the wire: deflated and flushed when compressed.
    std::string Wire(const std::string& text)
    {
        if (!compressed)
            return text;
        std::string out;
        deflater.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        deflater.avail_in = static_cast<uInt>(text.size());
        char piece[4096];
        do {
            deflater.next_out = reinterpret_cast<Bytef*>(piece);
            deflater.avail_out = sizeof piece;
            deflate(&deflater, Z_SYNC_FLUSH);
            out.append(piece, sizeof piece - deflater.avail_out);
        } while (deflater.avail_out == 0);
        return out;
    }

    static void XMLCALL Opened(void* user, const XML_Char* name, const XML_Char** attributes)
    {
        auto* reader = static_cast<Reader*>(user);
        Element element;
        element.name = name;
        for (int i = 0; attributes[i]; i += 2)
            element.attributes[attributes[i]] = attributes[i + 1];
        ++reader->depth;
        if (reader->depth == 1) {
            reader->seen.push_back(element.name);
            reader->headers.push_back(element);
        } else
            reader->open.push_back(element);
    }

    static void XMLCALL Closed(void* user, const XML_Char*)
    {
        auto* reader = static_cast<Reader*>(user);
        if (reader->depth == 1) {
            reader->streamEnded = true;
        } else if (!reader->open.empty()) {
            Element done = reader->open.back();
            reader->open.pop_back();
            if (reader->open.empty()) {
                reader->seen.push_back(done.name);
                reader->elements.push_back(done);
            } else
                reader->open.back().children.push_back(done);
        }
        --reader->depth;
    }

    static void XMLCALL Text(void* user, const XML_Char* text, int length)
    {
        auto* reader = static_cast<Reader*>(user);
        if (!reader->open.empty())
            reader->open.back().text.append(text, static_cast<size_t>(length));
    }
};

CScriptedXmppServer::CScriptedXmppServer(int stepTimeoutMs)
    : m_stepTimeoutMs(stepTimeoutMs), m_listener(INVALID_SOCKET), m_client(INVALID_SOCKET), m_port(0),
      m_reader(new Reader()), m_finished(false), m_succeeded(false)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_listener = ListenOnLoopback(m_port);
}

CScriptedXmppServer::~CScriptedXmppServer()
{
    // Every wait of the script is bounded by the step timeout, so the thread ends.
    if (m_thread.joinable())
        m_thread.join();
    CloseClient();
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
    delete m_reader;
    WSACleanup();
}

CScriptedXmppServer& CScriptedXmppServer::Accept()
{
    m_steps.push_back({Step::kAccept, "accept a connection", nullptr, nullptr, 0});
    return *this;
}

CScriptedXmppServer& CScriptedXmppServer::ExpectHeader(Check check)
{
    m_steps.push_back({Step::kHeader, "the client's stream header", nullptr, check, 0});
    return *this;
}

CScriptedXmppServer& CScriptedXmppServer::Send(const std::string& text)
{
    return Send([text] { return text; });
}

CScriptedXmppServer& CScriptedXmppServer::Send(TextMaker make)
{
    m_steps.push_back({Step::kSend, "send", make, nullptr, 0});
    return *this;
}

CScriptedXmppServer& CScriptedXmppServer::Expect(const std::string& name, Check check)
{
    m_steps.push_back({Step::kExpect, name, nullptr, check, 0});
    return *this;
}

CScriptedXmppServer& CScriptedXmppServer::Restart()
{
    m_steps.push_back({Step::kRestart, "restart the stream", nullptr, nullptr, 0});
    return *this;
}

CScriptedXmppServer& CScriptedXmppServer::StartCompression()
{
    m_steps.push_back({Step::kCompress, "start zlib", nullptr, nullptr, 0});
    return *this;
}

CScriptedXmppServer& CScriptedXmppServer::ExpectClosed()
{
    m_steps.push_back({Step::kExpectClosed, "the client closes", nullptr, nullptr, 0});
    return *this;
}

CScriptedXmppServer& CScriptedXmppServer::Close()
{
    m_steps.push_back({Step::kClose, "close", nullptr, nullptr, 0});
    return *this;
}

CScriptedXmppServer& CScriptedXmppServer::Pause(int ms)
{
    m_steps.push_back({Step::kPause, "pause", nullptr, nullptr, ms});
    return *this;
}

void CScriptedXmppServer::Start()
{
    m_thread = std::thread([this] { Run(); });
}

bool CScriptedXmppServer::Wait(int timeoutMs)
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_done.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return m_finished; });
    return m_finished && m_succeeded;
}

std::string CScriptedXmppServer::Report() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    std::string report;
    for (const std::string& failure : m_failures)
        report += failure + "\n";
    report += "received:";
    for (const std::string& name : m_received)
        report += " " + name;
    return report;
}

std::vector<std::string> CScriptedXmppServer::Received() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_received;
}

std::string CScriptedXmppServer::ReceivedText() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_receivedText;
}

void CScriptedXmppServer::Run()
{
    bool succeeded = m_listener != INVALID_SOCKET;
    if (!succeeded)
        Fail("the server could not listen");
    for (size_t i = 0; succeeded && i < m_steps.size(); ++i) {
        if (!RunStep(m_steps[i])) {
            Fail("step " + std::to_string(i + 1) + " (" + m_steps[i].what + ") failed");
            succeeded = false;
        }
    }
    if (!succeeded)
        CloseClient();
    std::lock_guard<std::mutex> hold(m_lock);
    m_finished = true;
    m_succeeded = succeeded;
    m_done.notify_all();
}

bool CScriptedXmppServer::RunStep(const Step& step)
{
    switch (step.kind) {
    case Step::kAccept: {
        if (!WaitReadable(m_listener, m_stepTimeoutMs)) {
            Fail("no client connected");
            return false;
        }
        m_client = accept(m_listener, nullptr, nullptr);
        ResetReader();
        EndCompression();
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_receivedText.clear();
        }
        return m_client != INVALID_SOCKET;
    }
    case Step::kHeader:
    case Step::kExpect: {
        Element element;
        bool closed = false;
        if (!NextElement(step.kind == Step::kHeader, element, closed)) {
            Fail(closed ? "the client closed the connection" : "nothing came in time");
            return false;
        }
        if (step.kind == Step::kExpect && element.name != step.what) {
            Fail("<" + element.name + "> came instead");
            return false;
        }
        std::string why;
        if (step.check && !step.check(element, why)) {
            Fail("<" + element.name + "> is not right: " + why);
            return false;
        }
        return true;
    }
    case Step::kSend:
        return SendText(step.make());
    case Step::kRestart:
        ResetReader();
        return true;
    case Step::kCompress:
        ResetReader();
        return m_reader->StartCompression();
    case Step::kExpectClosed: {
        auto deadline = Clock::now() + std::chrono::milliseconds(m_stepTimeoutMs);
        bool closed = false;
        while (!closed) {
            int left = LeftMs(deadline);
            if (left == 0) {
                Fail("the client kept the connection open");
                return false;
            }
            ReadMore(closed, left);
        }
        return true;
    }
    case Step::kClose:
        CloseClient();
        return true;
    case Step::kPause:
        Sleep(static_cast<DWORD>(step.ms));
        return true;
    }
    return false;
}

bool CScriptedXmppServer::NextElement(bool header, Element& element, bool& closed)
{
    auto deadline = Clock::now() + std::chrono::milliseconds(m_stepTimeoutMs);
    for (;;) {
        std::deque<Element>& queue = header ? m_reader->headers : m_reader->elements;
        if (!queue.empty()) {
            element = queue.front();
            queue.pop_front();
            return true;
        }
        if (m_reader->broken || m_reader->streamEnded) {
            Fail(m_reader->broken ? "the client sent what is not XML" : "the client ended its stream");
            return false;
        }
        int left = LeftMs(deadline);
        if (left == 0 || !ReadMore(closed, left) || closed)
            return false;
    }
}

bool CScriptedXmppServer::ReadMore(bool& closed, int timeoutMs)
{
    if (m_client == INVALID_SOCKET) {
        closed = true;
        return false;
    }
    if (!WaitReadable(m_client, timeoutMs))
        return false;
    char buffer[4096];
    int n = recv(m_client, buffer, sizeof buffer, 0);
    if (n <= 0) {
        closed = true;
        return false;
    }
    size_t before = m_reader->seen.size();
    bool fed = m_reader->Feed(buffer, n);
    std::lock_guard<std::mutex> hold(m_lock);
    m_received.insert(m_received.end(), m_reader->seen.begin() + static_cast<std::ptrdiff_t>(before),
                      m_reader->seen.end());
    m_receivedText += m_reader->fed;
    m_reader->fed.clear();
    return fed;
}

bool CScriptedXmppServer::SendText(const std::string& text)
{
    if (m_client == INVALID_SOCKET)
        return false;
    std::string wire = m_reader->Wire(text);
    const char* data = wire.data();
    int left = static_cast<int>(wire.size());
    while (left > 0) {
        int sent = send(m_client, data, left, 0);
        if (sent <= 0) {
            Fail("the client is gone");
            return false;
        }
        data += sent;
        left -= sent;
    }
    return true;
}

void CScriptedXmppServer::ResetReader()
{
    m_reader->Reset();
}

void CScriptedXmppServer::EndCompression()
{
    m_reader->StopCompression();
}

void CScriptedXmppServer::CloseClient()
{
    if (m_client != INVALID_SOCKET) {
        shutdown(m_client, SD_BOTH);
        closesocket(m_client);
        m_client = INVALID_SOCKET;
    }
}

void CScriptedXmppServer::Fail(const std::string& why)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_failures.push_back(why);
}
