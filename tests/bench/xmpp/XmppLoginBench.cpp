// XMPP login: from the socket's connect to the roster mirrored into the
// contact-list model and the first presence sent, for an account whose roster
// holds 1,000 contacts in 20 groups, against the local ejabberd over direct
// TLS, DIGEST-MD5 and zlib. Baseline: a raw client that does the same exchange
// over the same TLS and compression and keeps nothing. Both are timed until a
// second session of the same user receives the first presence.
//
//   bench_xmpp_login <servers file> [runs]      prints the benchmark's rows
//   bench_xmpp_login --write-settings <file> <port>
//                                               writes a settings file with a
//                                               Jabber account of alice that
//                                               logs in at localhost:<port>
#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "AccountRig.h"
#include "RawXmppSession.h"
#include "SecureSocket.h"
#include "Trace.h"
#include "bench/BenchRow.h"
#include "bench/ServersFile.h"
#include "core/TempFolder.h"

namespace {

const int kGroups = 20;
const int kContactsPerGroup = 50;
const DWORD kStepTimeoutMs = 30000;
// Every login's first presence names the program's capabilities; the
// server's own presences (a resource leaving) do not.
const char kFirstPresence[] = "https://jov.example.org/caps";

bool TrustAuthority(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<char> der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return !der.empty() &&
           SecureSockets::AddTrustedRoot(reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()));
}

// alice's roster: 1,000 contacts in 20 groups, set by a session of hers.
bool FillRoster(unsigned short port)
{
    CRawXmppSession session;
    if (!session.LogIn(port, "alice", "alice-pw1", "setup")) {
        std::fprintf(stderr, "roster session: %s\n", session.Why().c_str());
        return false;
    }
    std::string sets;
    for (int group = 1; group <= kGroups; ++group) {
        for (int item = 1; item <= kContactsPerGroup; ++item) {
            const int number = (group - 1) * kContactsPerGroup + item;
            char text[256];
            std::snprintf(text, sizeof text,
                          "<iq type='set' id='set%d'><query xmlns='jabber:iq:roster'><item "
                          "jid='contact%04d@localhost' name='Contact %04d'><group>Group %02d</group></item>"
                          "</query></iq>",
                          number, number, number, group);
            sets += text;
        }
    }
    // The server answers in order: the last answer ends them all.
    return session.Send(sets) && session.Send("<iq type='get' id='filled'><query xmlns='jabber:iq:roster'/></iq>") &&
           session.WaitFor("filled") && session.WaitFor("</iq>");
}

// The raw client's login; its time, or a negative value.
double RawLogin(unsigned short port, CRawXmppSession& observer, int run)
{
    CRawXmppSession client;
    const double started = NowMs();
    std::string resource = "raw" + std::to_string(run);
    if (!client.LogIn(port, "alice", "alice-pw1", resource.c_str()) || !client.RosterAndPresence()) {
        std::fprintf(stderr, "raw client: %s\n", client.Why().c_str());
        return -1;
    }
    if (!observer.WaitFor(kFirstPresence))
        return -1;
    const double done = NowMs() - started;
    client.Close();
    return done;
}

// The account's login, with the rig's model; its time, or a negative value.
double AccountLogin(CAccountRig& rig, CRawXmppSession& observer)
{
    const double started = NowMs();
    rig.SetStatus(Protocols::StatusOnline);
    if (!observer.WaitFor(kFirstPresence))
        return -1;
    const double done = NowMs() - started;
    if (rig.ContactCount() != kGroups * kContactsPerGroup) {
        std::fprintf(stderr, "the model holds %d contacts\n", rig.ContactCount());
        return -1;
    }
    rig.SetStatus(Protocols::StatusOffline);
    rig.WaitOffline(kStepTimeoutMs);
    return done;
}

int WriteSettings(const wchar_t* target, unsigned short port)
{
    CAccountRig rig(target);
    rig.Load();
    const bool added = rig.AddJabberAccount(L"alice", L"alice-pw1", port) != 0;
    rig.Close();
    return added ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    if (argc >= 4 && std::wstring(argv[1]) == L"--write-settings")
        return WriteSettings(argv[2], static_cast<unsigned short>(_wtoi(argv[3])));
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_xmpp_login <servers file> [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 7;
    std::map<std::string, std::string> servers = ReadServers(argv[1]);
    const unsigned short port = static_cast<unsigned short>(std::atoi(servers["ejabberd_tls"].c_str()));
    if (!port || !TrustAuthority(servers["ca"]) || !FillRoster(port)) {
        std::fprintf(stderr, "no server to measure against\n");
        return 1;
    }
    CRawXmppSession observer;
    if (!observer.LogIn(port, "alice", "alice-pw1", "observer") ||
        !observer.Send("<presence><priority>-1</priority></presence>")) {
        std::fprintf(stderr, "observer: %s\n", observer.Why().c_str());
        return 1;
    }

    std::vector<double> raw, first, again;
    for (int run = 0; run < runs; ++run) {
        const double rawMs = RawLogin(port, observer, run);
        // A fresh program: the model is empty; then the same one again,
        // the model holding the contacts of the first login.
        CTempFolder folder;
        CAccountRig rig(folder.File(L"settings.jov"));
        rig.Load();
        if (!rig.AddJabberAccount(L"alice", L"alice-pw1", port))
            return 1;
        const double firstMs = AccountLogin(rig, observer);
        const double againMs = AccountLogin(rig, observer);
        rig.Close();
        // JOV_TRACE: the run's marks, written out once it is timed.
        TraceFlush();
        if (rawMs < 0 || firstMs < 0 || againMs < 0) {
            std::fprintf(stderr, "run %d failed\n", run);
            return 1;
        }
        raw.push_back(rawMs);
        first.push_back(firstMs);
        again.push_back(againMs);
    }
    BeginRows();
    PrintRow("login, 1000 contacts, new", first, "ms", "raw client", raw);
    PrintRow("login, 1000 contacts, again", again, "ms", "raw client", raw);
    return 0;
}
