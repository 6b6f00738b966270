// ICQ login: from the socket's connect to Online, with a server list of 1,000
// contacts in 20 groups mirrored into the contact-list model, against the
// scripted OSCAR server on 127.0.0.1. Baseline: a raw client that reads the
// same frames and does nothing with them.
//
//   bench_icq [runs]                     prints the benchmark's row
//   bench_icq --write-settings <file>    logs in once and keeps the settings
//                                        file it leaves (the account and its
//                                        1,000-contact lists) for the others
#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AccountRig.h"
#include "LoginTranscript.h"
#include "RawOscarClient.h"
#include "ScriptedOscarServer.h"
#include "Trace.h"
#include "bench/BenchRow.h"
#include "core/TempFolder.h"

namespace {

using OscarWire::Frame;

const int kGroups = 20;
const int kContactsPerGroup = 50;
const int kItemsPerReply = 200;
const int kStepTimeoutMs = 20000;
const wchar_t kUin[] = L"123456";
const char kPassword[] = "secret";

std::vector<OscarWire::SsiItem> ServerList()
{
    std::vector<OscarWire::SsiItem> items;
    OscarWire::Builder groupIds;
    for (int group = 1; group <= kGroups; ++group)
        groupIds.U16(static_cast<unsigned int>(group));
    items.push_back({"", 0, 0, 1, OscarWire::Builder().Tlv(0x00C8, groupIds.Get()).Get()});
    for (int group = 1; group <= kGroups; ++group) {
        char name[32];
        std::snprintf(name, sizeof(name), "Group %02d", group);
        OscarWire::Builder members;
        for (int item = 1; item <= kContactsPerGroup; ++item)
            members.U16(static_cast<unsigned int>(item));
        items.push_back({name, static_cast<unsigned int>(group), 0, 1,
                         OscarWire::Builder().Tlv(0x00C8, members.Get()).Get()});
        for (int item = 1; item <= kContactsPerGroup; ++item) {
            const int number = (group - 1) * kContactsPerGroup + item;
            char uin[16], nick[32];
            std::snprintf(uin, sizeof(uin), "%d", 200000000 + number);
            std::snprintf(nick, sizeof(nick), "Contact %04d", number);
            items.push_back({uin, static_cast<unsigned int>(group), static_cast<unsigned int>(item), 0,
                             OscarWire::Builder().Tlv(0x0131, std::string(nick)).Get()});
        }
    }
    return items;
}

Frame OwnInfoOnline()
{
    OscarWire::Builder body;
    body.U8(6).Text("123456").U16(0).U16(1).Tlv32(0x0006, 0x10000000);
    return OscarWire::SnacFrame(0x01, 0x0F, body);
}

// Where the login is, for the scripts' matches (set on the servers' threads).
enum Phase { kLoggingIn, kAwaitingReady, kDone };

struct LoginRun {
    double started = -1;
    double online = -1;
    bool ok = false;
};

// The account logs in against servers that record the conversation.
LoginRun RunAccount(CLoginTranscript& loginSide, CLoginTranscript& bosSide, const std::wstring& settingsFile)
{
    LoginRun run;
    CScriptedOscarServer login(kStepTimeoutMs);
    CScriptedOscarServer bos(kStepTimeoutMs);
    std::atomic<int> phase{kLoggingIn};
    const OscarWire::Bytes cookie(64, 0x5A);

    login.Accept()
        .Send(loginSide.Sent(OscarWire::Hello(), [&] { run.started = NowMs(); }))
        .Expect("version", loginSide.Read(1))
        .Expect("key request", loginSide.Read(2, 0x17, 0x06))
        .Send(loginSide.Sent(OscarWire::AuthKeyResponse("0987654321")))
        .Expect("login", loginSide.Read(2, 0x17, 0x02))
        .Send(loginSide.Sent(OscarWire::LoginReply("123456", "127.0.0.1:" + std::to_string(bos.GetPort()), cookie)))
        .ExpectClosed();

    // After the list the account sends its set-up in its own order until
    // "client ready"; after Online, whatever it sends is no part of the login.
    bos.Ignore([&](const Frame& frame) {
        const bool pass = phase == kDone || (phase == kAwaitingReady && !frame.IsSnac(0x01, 0x02));
        if (pass)
            bosSide.RecordRead(frame);
        return pass;
    });
    bos.Accept()
        .Send(bosSide.Sent(OscarWire::Hello()))
        .Expect("cookie", bosSide.Read(1))
        .Send(bosSide.Sent(OscarWire::Families({0x01, 0x02, 0x03, 0x04, 0x13, 0x15})))
        .Expect("versions", bosSide.Read(2, 0x01, 0x17))
        .Send(bosSide.Sent(OscarWire::FamilyVersions({{0x01, 4}, {0x13, 4}})))
        .Expect("rates request", bosSide.Read(2, 0x01, 0x06))
        .Send(bosSide.Sent(OscarWire::RateInfo(3, 0)))
        .Expect("rates ack", bosSide.Read(2, 0x01, 0x08))
        .Expect("list rights", bosSide.Read(2, 0x13, 0x02))
        .Expect("location rights", bosSide.Read(2, 0x02, 0x02))
        .Expect("buddy rights", bosSide.Read(2, 0x03, 0x02))
        .Expect("message rights", bosSide.Read(2, 0x04, 0x04))
        .Expect("privacy rights", bosSide.Read(2, 0x09, 0x02))
        .Send(bosSide.Sent(OscarWire::SnacFrame(0x02, 0x03, {})))
        .Expect("user info", bosSide.Read(2, 0x02, 0x04))
        .Send(bosSide.Sent(OscarWire::SnacFrame(0x13, 0x03, {})))
        .Expect("list request", bosSide.Read(2, 0x13, 0x04));
    const std::vector<OscarWire::SsiItem> list = ServerList();
    for (size_t first = 0; first < list.size(); first += kItemsPerReply) {
        const size_t end = std::min(list.size(), first + kItemsPerReply);
        const bool last = end == list.size();
        bos.Send(bosSide.Sent(
            OscarWire::SsiReply(std::vector<OscarWire::SsiItem>(list.begin() + first, list.begin() + end), 1234,
                                !last),
            [&phase, last] {
                if (last)
                    phase = kAwaitingReady;
            }));
    }
    bos.Expect("client ready", bosSide.Read(2, 0x01, 0x02))
        .Send(bosSide.Sent(OwnInfoOnline(), [&] { phase = kDone; }))
        .ExpectClosed();
    if (!login.GetPort() || !bos.GetPort())
        return run;

    {
        CAccountRig rig(settingsFile);
        rig.Load();
        if (!rig.AddIcqAccount(kUin, kPassword, login.GetPort()))
            return run;
        login.Start();
        bos.Start();
        rig.SetStatus(Protocols::StatusOnline);
        run.online = rig.WaitOnline(kStepTimeoutMs);
        // The list is mirrored before the account reports Online; should it
        // ever come later, the login ends when it is all there.
        while (run.online >= 0 && rig.ContactCount() < kGroups * kContactsPerGroup) {
            if (NowMs() - run.online > kStepTimeoutMs) {
                run.online = -1;
                break;
            }
            Sleep(1);
            run.online = NowMs();
        }
        rig.SetStatus(Protocols::StatusOffline);
        rig.WaitOffline(kStepTimeoutMs);
    }
    run.ok = run.online >= 0 && login.Wait(kStepTimeoutMs) && bos.Wait(kStepTimeoutMs);
    if (!run.ok)
        std::fprintf(stderr, "login failed\n%s\n%s\n", login.Report().c_str(), bos.Report().c_str());
    return run;
}

// The raw client reads the frames the account read, from servers that play them again.
double RunRawClient(const CLoginTranscript& loginSide, const CLoginTranscript& bosSide)
{
    CScriptedOscarServer login(kStepTimeoutMs);
    CScriptedOscarServer bos(kStepTimeoutMs);
    double started = -1;
    loginSide.Replay(login, [&] { started = NowMs(); });
    bosSide.Replay(bos);
    login.Start();
    bos.Start();
    const double done = CRawOscarClient::Play({{login.GetPort(), &loginSide}, {bos.GetPort(), &bosSide}});
    const bool ok = login.Wait(kStepTimeoutMs) && bos.Wait(kStepTimeoutMs);
    if (!ok || done < 0) {
        std::fprintf(stderr, "raw client failed\n%s\n%s\n", login.Report().c_str(), bos.Report().c_str());
        return -1;
    }
    return done - started;
}

int WriteSettings(const wchar_t* target)
{
    CTempFolder folder;
    CLoginTranscript loginSide, bosSide;
    if (!RunAccount(loginSide, bosSide, folder.File(L"settings.jov")).ok)
        return 1;
    return CopyFileW(folder.File(L"settings.jov").c_str(), target, FALSE) ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    BeginRows();
    if (argc == 3 && std::wstring(argv[1]) == L"--write-settings")
        return WriteSettings(argv[2]);
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;

    std::vector<double> account, raw;
    for (int i = 0; i < runs; ++i) {
        CTempFolder folder;
        CLoginTranscript loginSide, bosSide;
        const LoginRun run = RunAccount(loginSide, bosSide, folder.File(L"settings.jov"));
        // JOV_TRACE: the run's marks, written out once it is timed.
        TraceFlush();
        if (!run.ok)
            return 1;
        account.push_back(run.online - run.started);
        loginSide.EndAtLastServerFrame();
        bosSide.EndAtLastServerFrame();
        const double rawMs = RunRawClient(loginSide, bosSide);
        if (rawMs < 0)
            return 1;
        raw.push_back(rawMs);
    }
    PrintRow("login to Online, 1000 contacts", account, "ms", "raw client", raw);
    return 0;
}
