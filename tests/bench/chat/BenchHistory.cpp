// The history dialog over a contact's file of 10,000 messages: the file read
// alone, and the dialog opened until its chat view has painted once (what the
// user waits for). The services are the program's, with the stored ICQ
// account of bench_icq --write-settings; its first contact owns the file.
//
//   bench_history <settings file> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AccountRig.h"
#include "bench/BenchRow.h"
#include "bench/chat/MessageMaker.h"
#include "core/AppGlobals.h"
#include "core/AppGuiServices.h"
#include "core/TempFolder.h"
#include "core/skins/SkinManagerHost.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/ChatCtrl.h"
#include "messaging/HistoryDlg.h"
#include "messaging/HistoryFiles.h"

namespace {

const int kMessages = 10000;
const double kLoadTimeoutMs = 20000;

class CQuietSkinHost final : public Skins::CSkinManagerHost {
public:
    unsigned int GetLanChangedEventId() override { return 0; }
    HWND GetMessageWindow() override { return nullptr; }
    void StopSmileyAnimation() override {}
};

// Ends itself once its chat view has painted for the first time, noting when
// that paint was done.
class CTimedHistoryDlg final : public CHistoryDlg {
public:
    CTimedHistoryDlg(unsigned int contactId, Services::CServicesManager* bus)
        : CHistoryDlg(nullptr, nullptr, contactId, bus)
    {
    }

    double paintedAt = -1;

protected:
    void OnInitDialog() override
    {
        CHistoryDlg::OnInitDialog();
        s_timed = this;
        m_viewProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            GetChatView()->GetViewWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchPaint)));
    }

private:
    static LRESULT CALLBACK WatchPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        LRESULT result = CallWindowProcW(s_timed->m_viewProc, window, message, wParam, lParam);
        if (message == WM_PAINT && s_timed->paintedAt < 0) {
            s_timed->paintedAt = NowMs();
            PostMessageW(s_timed->m_hDlg, WM_COMMAND, IDCANCEL, 0);
        }
        return result;
    }

    static CTimedHistoryDlg* s_timed;
    WNDPROC m_viewProc = nullptr;
};

CTimedHistoryDlg* CTimedHistoryDlg::s_timed = nullptr;

bool CopyFile(const wchar_t* from, const std::wstring& to)
{
    std::vector<unsigned char> bytes = CTempFolder::Read(from);
    if (bytes.empty())
        return false;
    CTempFolder::Write(to, bytes);
    return true;
}

int Run(const wchar_t* settings, int runs)
{
    CTempFolder folder;
    const std::wstring path = folder.File(L"settings.jov");
    if (!CopyFile(settings, path)) {
        std::fprintf(stderr, "cannot read %ls\n", settings);
        return 1;
    }
    CAppGuiServices texts;
    CQuietSkinHost host;
    Skins::CSkinManagerImpl skins(nullptr, &host);
    skins.GetSmilies();
    g_App.hInstance = GetModuleHandleW(nullptr);
    g_App.pServices = &texts;
    g_App.pSkinManager = &skins;

    CAccountRig rig(path);
    rig.Load();
    const double loading = NowMs();
    unsigned int contact = 0;
    while ((contact = rig.FirstContactId()) == 0) {
        if (NowMs() - loading > kLoadTimeoutMs) {
            std::fprintf(stderr, "the stored account brought no contact\n");
            return 1;
        }
        Sleep(1);
    }
    SetHistoryFolder(CJOVString(folder.File(L"").c_str()));
    CMessageMaker maker;
    unsigned long time = 1690000000;
    for (int i = 0; i < kMessages; ++i) {
        SMessage message = maker.Next();
        unsigned char direction = message.kind == SMessage::Outgoing ? 1 : 0;
        if (AppendHistoryMessage(rig.Bus(), contact, 1, direction, 0, time++, message.text) != kHistoryOk) {
            std::fprintf(stderr, "the history file could not be written\n");
            return 1;
        }
    }

    std::vector<double> read, open;
    for (int i = 0; i < runs; ++i) {
        CJOVArray<SMessage> messages(10);
        const double start = NowMs();
        ReadHistory(rig.Bus(), contact, messages);
        read.push_back(NowMs() - start);
        if (messages.Count() != kMessages) {
            std::fprintf(stderr, "%d records read of %d\n", messages.Count(), kMessages);
            return 1;
        }
    }
    for (int i = 0; i < runs; ++i) {
        CTimedHistoryDlg dialog(contact, &rig.Bus());
        const double start = NowMs();
        dialog.DoModal();
        if (dialog.paintedAt < 0 || dialog.GetMessageCount() != kMessages) {
            std::fprintf(stderr, "the dialog showed %d messages and painted %s\n", dialog.GetMessageCount(),
                         dialog.paintedAt < 0 ? "never" : "once");
            return 1;
        }
        open.push_back(dialog.paintedAt - start);
    }
    PrintRow("history-read-10k", read, "ms");
    PrintRow("history-open-10k", open, "ms", "history-read-10k", read);

    rig.Close();
    SetHistoryFolder(CJOVString());
    g_App.pSkinManager = nullptr;
    g_App.pServices = nullptr;
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_history <settings file> [runs]\n");
        return 2;
    }
    BeginRows();
    return Run(argv[1], argc > 2 ? std::max(1, _wtoi(argv[2])) : 5);
}
