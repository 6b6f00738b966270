// How long the contact-list control takes for a large list, how long its lock
// is held while messages arrive, and the history files for a long chat.
// Prints one row per figure for scripts/bench.sh:
//   figure  median  min  max  unit  -  -
// List steps run on a fresh control each time, through its event handlers,
// with fake services; the history figures use one file in a temporary folder.
// The paints are the window's own, at both densities, with the program's
// skin manager drawing the default skin's images.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "EventArgData.h"
#include "HiDpi.h"
#include "EventNames.h"
#include "ServiceIds.h"
#include "clctrl/FakeServices.h"
#include "cl/ContactList.h"
#include "contactlist/CLCtrl.h"
#include "contactlist/DialogSkin.h"
#include "core/AppGlobals.h"
#include "core/AppGuiServices.h"
#include "core/bus/ServicesManagerImpl.h"
#include "core/skins/AppSkinHost.h"
#include "core/skins/DialogSkinAdapter.h"
#include "core/skins/SkinManagerImpl.h"
#include "messaging/HistoryFiles.h"

namespace {

constexpr unsigned int kAccount = 1;
constexpr int kGroups = 20;
constexpr int kContacts = 1000;
constexpr int kListRuns = 7;
constexpr int kAppends = 10000;
constexpr int kReadRuns = 7;
constexpr int kPaintRuns = 15;
constexpr int kArrivals = 1000;
constexpr int kSenders = 50;
constexpr int kArrivalRuns = 7;
// A stretch during which the watcher itself was not run for this long is
// not timed: it may join two holds into one.
constexpr double kWatcherPauseMs = 1.0;

// The contact list as the handlers and the history ask it: ids, groups, names.
class CFakeModel final : public CL::CContactList {
public:
    struct Item {
        unsigned int account = kAccount;
        unsigned int group = 0;
        std::map<std::wstring, CJOVString> strings;
    };
    std::map<unsigned int, Item> items;

    void BeginTransaction() override {}
    void EndTransaction() override {}
    unsigned int CreateGroup(unsigned int) override { return 0; }
    void NotifyGroupAdded(unsigned int) override {}
    void DeleteGroup(unsigned int) override {}
    void NotifyGroupChanged(unsigned int) override {}
    unsigned int CreateContact(unsigned int, unsigned int) override { return 0; }
    void NotifyContactAdded(unsigned int) override {}
    void DeleteContact(unsigned int) override {}
    bool MoveContact(unsigned int, unsigned int) override { return false; }
    unsigned int GetContactGroup(unsigned int contactId) override
    {
        auto found = items.find(contactId);
        return found == items.end() ? 0 : found->second.group;
    }
    void SetContactStatus(unsigned int, const Protocols::ContactStatusInfo*) override {}
    void NotifyContactChanged(unsigned int) override {}
    void MessageReceived(unsigned int, const Protocols::MessageInfo*) override {}
    unsigned int GetItemKey(unsigned int itemId) override
    {
        auto found = items.find(itemId);
        return found == items.end() ? 0 : found->second.account;
    }
    bool GetData(unsigned int, const CJOVString&, void*, unsigned int*) override { return false; }
    bool GetString(unsigned int itemId, const CJOVString& name, CJOVString& out) override
    {
        auto found = items.find(itemId);
        if (found == items.end())
            return false;
        auto value = found->second.strings.find(Text(name));
        if (value == found->second.strings.end())
            return false;
        out = value->second;
        return true;
    }
    bool GetDWord(unsigned int, const CJOVString&, DWORD*) override { return false; }
    bool GetWord(unsigned int, const CJOVString&, WORD*) override { return false; }
    bool GetByte(unsigned int, const CJOVString&, BYTE*) override { return false; }
    void SetData(unsigned int, const CJOVString&, const void*, unsigned int) override {}
    void SetString(unsigned int, const CJOVString&, const CJOVString&) override {}
    void SetDWord(unsigned int, const CJOVString&, const DWORD*) override {}
    void SetWord(unsigned int, const CJOVString&, const WORD*) override {}
    void SetByte(unsigned int, const CJOVString&, const BYTE*) override {}
    bool GetItems(unsigned int, CJOVArray<CL::CLItemInfo>*) override { return false; }
};

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Row(const char* figure, std::vector<double> values, const char* unit)
{
    std::sort(values.begin(), values.end());
    std::printf("%s\t%.3f\t%.3f\t%.3f\t%s\t-\t-\n", figure, values[values.size() / 2], values.front(), values.back(),
                unit);
}

class CBench {
public:
    CBench()
    {
        m_bus.RegisterService(GUID_ContactList, &m_model);
        m_bus.RegisterService(GUID_ProtocolsManager, &m_protocols);
        m_bus.RegisterService(GUID_AlertManager, &m_alerts);
        CFakeProtocols::Account account;
        account.name = L"123456";
        account.logon = 1;
        m_protocols.Set(kAccount, account);
        for (int g = 0; g < kGroups; ++g) {
            CFakeModel::Item group;
            group.strings[L"CL Alias"] = CJOVString((L"Group " + std::to_wstring(g)).c_str());
            m_model.items[1 + g] = group;
        }
        for (int c = 0; c < kContacts; ++c) {
            CFakeModel::Item contact;
            contact.group = 1 + static_cast<unsigned int>(c % kGroups);
            // Names out of order, so insertion has work to do.
            const std::wstring name = L"Contact " + std::to_wstring((c * 7919) % kContacts);
            contact.strings[L"CL Alias"] = CJOVString(name.c_str());
            contact.strings[L"Account name"] = CJOVString((L"uin" + std::to_wstring(c)).c_str());
            m_model.items[ContactId(c)] = contact;
        }
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"BenchCLWindow";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, L"BenchCLWindow", L"CL", WS_OVERLAPPED | WS_VSCROLL, 0, 0, 240, 280, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    static unsigned int ContactId(int index) { return CL::kContactIdBit | static_cast<unsigned int>(index + 1); }

    void Event(CCLCtrl& control, const JOV_GUID& sender, const wchar_t* name, unsigned int id,
               CEventArg* arg2 = nullptr)
    {
        CEventArg_Data<unsigned int> arg1(id);
        control.OnEvent(sender, CJOVString(name), &arg1, arg2);
    }

    // The account and its stored list, as the model announces a loaded list.
    void Fill(CCLCtrl& control)
    {
        Event(control, GUID_ServicesManager, EVENT_Loaded, 0);
        Event(control, GUID_ProtocolsManager, EVENT_Added, kAccount);
        Event(control, GUID_ContactList, EVENT_TransactionBegin, 0);
        for (int g = 0; g < kGroups; ++g)
            Event(control, GUID_ContactList, EVENT_GroupAdded, 1 + g);
        for (int c = 0; c < kContacts; ++c) {
            CEventArg_Data<unsigned int> group(m_model.items[ContactId(c)].group);
            Event(control, GUID_ContactList, EVENT_ContactAdded, ContactId(c), &group);
        }
        Event(control, GUID_ContactList, EVENT_TransactionEnd, 0);
    }

    void ChangeStatuses(CCLCtrl& control)
    {
        for (int c = 0; c < kContacts; ++c) {
            CEventArg_Data<Protocols::ContactStatusInfo> status;
            status.m_data.status = c % 2 == 0 ? Protocols::StatusOnline : Protocols::StatusOffline;
            // A status image, as an account gives one (any skin image costs alike).
            CJOVArray<unsigned int> images(10);
            images.Append(c % 2 == 0 ? 22u : 24u);
            status.m_data.statusImages.Append(images);
            Event(control, GUID_ContactList, EVENT_ContactStatusChanged, ContactId(c), &status);
        }
    }

    void RunList()
    {
        std::map<std::string, std::vector<double>> times;
        double insertCompares = 0;
        double resortCompares = 0;
        for (int run = 0; run < kListRuns; ++run) {
            auto control = std::make_unique<CCLCtrl>(m_bus);
            control->SetNotifications(&m_notifications);
            double start = Now();
            unsigned long compares = CContactItem::GetCompareCount();
            Fill(*control);
            times["add 1000 contacts"].push_back(Now() - start);
            insertCompares = static_cast<double>(CContactItem::GetCompareCount() - compares) / (2.0 * kContacts);

            start = Now();
            compares = CContactItem::GetCompareCount();
            ChangeStatuses(*control);
            times["1000 status changes"].push_back(Now() - start);
            resortCompares = static_cast<double>(CContactItem::GetCompareCount() - compares) / (2.0 * kContacts);

            start = Now();
            control->SetOnlineOnly(1);
            times["online only on"].push_back(Now() - start);
            start = Now();
            control->SetOnlineOnly(0);
            times["online only off"].push_back(Now() - start);

            // The window's own thread from here on: layout and scrolling at once.
            control->SetWindow(m_window);
            start = Now();
            control->RecalcLayout();
            times["RecalcLayout"].push_back(Now() - start);

            control->EnsureVisible(control->GetAccountTree()->GetFirstChild());
            start = Now();
            int steps = 0;
            for (CTreeItem* last = nullptr; control->GetCurrentItem() != last; ++steps) {
                last = control->GetCurrentItem();
                control->SelectNext();
            }
            times["SelectNext through all"].push_back(Now() - start);
            if (steps < kContacts)
                std::fprintf(stderr, "only %d rows selected\n", steps);
            control->Stop();
        }
        for (const char* figure : {"add 1000 contacts", "1000 status changes", "online only on", "online only off",
                                   "RecalcLayout", "SelectNext through all"})
            Row(figure, times[figure], "ms");
        Row("Compare calls per insertion", {insertCompares}, "calls");
        Row("Compare calls per re-sort", {resortCompares}, "calls");
    }

    // One full paint and one after a page down, at a density and the list
    // window's size on that screen; all groups open, two columns.
    void RunPaint(int dpi, int width, int height, const char* screen)
    {
        g_HIDPI_LogPixelsX = g_HIDPI_LogPixelsY = dpi;
        HWND parent = CreateWindowExW(0, L"BenchCLWindow", L"JOV", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        auto control = std::make_unique<CCLCtrl>(m_bus);
        control->SetNotifications(&m_notifications);
        Fill(*control);
        ChangeStatuses(*control);
        const RECT rect = {0, 0, width, height};
        control->CreateWnd(WS_VISIBLE, rect, parent, 2);
        HWND list = control->GetWnd();
        UpdateWindow(list);

        std::vector<double> full, scrolled, fullRows, scrolledRows;
        for (int run = 0; run < kPaintRuns; ++run) {
            SetScrollPos(list, SB_VERT, 0, FALSE);
            InvalidateRect(list, nullptr, FALSE);
            unsigned long rows = CTreeItem::GetRowsDrawn();
            double start = Now();
            UpdateWindow(list);
            full.push_back(Now() - start);
            fullRows.push_back(static_cast<double>(CTreeItem::GetRowsDrawn() - rows));

            SendMessageW(list, WM_VSCROLL, SB_PAGEDOWN, 0);
            rows = CTreeItem::GetRowsDrawn();
            start = Now();
            UpdateWindow(list);
            scrolled.push_back(Now() - start);
            scrolledRows.push_back(static_cast<double>(CTreeItem::GetRowsDrawn() - rows));
        }
        const std::string name = std::string("paint ") + screen;
        Row((name + " full").c_str(), full, "ms");
        Row((name + " rows drawn").c_str(), fullRows, "rows");
        Row((name + " after page down").c_str(), scrolled, "ms");
        Row((name + " rows drawn after page down").c_str(), scrolledRows, "rows");
        control->Stop();
        control.reset();
        DestroyWindow(parent);
    }

    void RunPaints()
    {
        // The program's image drawing and skin colours.
        Skins::CAppSkinHost host;
        Skins::CSkinManagerImpl skins(&m_bus, &host);
        Skins::CDialogSkinAdapter skin(skins, GetAppDir());
        CAppGuiServices services;
        g_App.pSkinManager = &skins;
        g_App.pServices = &services;
        SetDialogSkin(&skin);
        const int dpiX = g_HIDPI_LogPixelsX, dpiY = g_HIDPI_LogPixelsY;
        // The list between the menu bar and the status toolbar of each screen.
        RunPaint(96, 240, 270, "qvga");
        RunPaint(192, 480, 540, "vga");
        g_HIDPI_LogPixelsX = dpiX;
        g_HIDPI_LogPixelsY = dpiY;
        SetDialogSkin(nullptr);
        g_App.pServices = nullptr;
        g_App.pSkinManager = nullptr;
    }

    // The longest time the list's lock is held while messages arrive (what
    // the window's paint or a tap would wait): a watcher reads the lock's
    // owner, without taking the lock (which would make the handler wait for
    // a wake-up), and times each stretch it finds it owned. The median of the
    // runs' longest.
    void RunArrivals()
    {
        const std::wstring folder = UseHistoryFolder(L"jov_bench_arrivals_");
        std::vector<double> longest;
        for (int run = 0; run < 3 * kArrivalRuns && static_cast<int>(longest.size()) < kArrivalRuns; ++run) {
            auto control = std::make_unique<CCLCtrl>(m_bus);
            control->SetNotifications(&m_notifications);
            Fill(*control);
            CRITICAL_SECTION& lock = control->GetLock();
            std::atomic<bool> done{false};
            std::atomic<bool> watching{false};
            double held = 0;
            double paused = 0;  // the watcher's own pauses
            std::thread watcher([&] {
                watching = true;
                double since = -1;  // the first and last polls that found it owned
                double until = -1;
                bool steady = true;  // the watcher ran without a pause since
                double last = Now();
                while (!done) {
                    const double now = Now();
                    if (now - last > kWatcherPauseMs) {
                        steady = false;
                        paused += now - last;
                    }
                    last = now;
                    if (reinterpret_cast<volatile HANDLE&>(lock.OwningThread) == nullptr) {
                        if (since >= 0 && steady)
                            held = std::max(held, until - since);
                        since = -1;
                    } else {
                        if (since < 0) {
                            since = now;
                            steady = true;
                        }
                        until = now;
                    }
                }
            });
            while (!watching)
                std::this_thread::yield();
            const double start = Now();
            for (int i = 0; i < kArrivals; ++i) {
                CEventArg_Data<Protocols::MessageInfo> message;
                message.m_data.contactId = ContactId(i % kSenders);
                message.m_data.time = CTime(1700000000UL + static_cast<unsigned long>(i));
                message.m_data.text = CJOVString(L"A message of ordinary length, with a smile :-)");
                Event(*control, GUID_ContactList, EVENT_MessageReceived, message.m_data.contactId, &message);
            }
            const double took = Now() - start;
            done = true;
            watcher.join();
            // A run the watcher mostly missed does not count.
            if (paused < took / 10)
                longest.push_back(held);
            control->Stop();
            m_notifications.Clear();
        }
        if (longest.empty())
            std::fprintf(stderr, "the lock's watcher was never run steadily\n");
        else
            Row("lock held longest, 1000 messages from 50 contacts", longest, "ms");
        for (int c = 0; c < kSenders; ++c)
            DeleteHistory(m_bus, ContactId(c));
        DropHistoryFolder(folder);
    }

    void RunHistory()
    {
        const std::wstring folder = UseHistoryFolder(L"jov_bench_history_");
        const unsigned int contact = ContactId(0);
        const CJOVString text(L"A message of ordinary length, with a smile :-)");
        std::vector<double> appends;
        appends.reserve(kAppends);
        for (int i = 0; i < kAppends; ++i) {
            const double start = Now();
            AppendHistoryMessage(m_bus, contact, 1, static_cast<unsigned char>(i % 2), 0, 1700000000UL + i, text);
            appends.push_back(Now() - start);
        }
        Row("history append", appends, "ms");
        std::vector<double> tails;
        std::vector<double> wholes;
        for (int run = 0; run < kReadRuns; ++run) {
            CJOVArray<SMessage> tail;
            double start = Now();
            ReadHistoryTail(m_bus, contact, 4, tail);
            tails.push_back(Now() - start);
            CJOVArray<SMessage> whole;
            start = Now();
            ReadHistory(m_bus, contact, whole);
            wholes.push_back(Now() - start);
            if (tail.Count() != 4 || whole.Count() != kAppends)
                std::fprintf(stderr, "read %d and %d records\n", tail.Count(), whole.Count());
        }
        Row("history tail read of 4", tails, "ms");
        Row("history full read", wholes, "ms");
        DeleteHistory(m_bus, contact);
        DropHistoryFolder(folder);
    }

private:
    // A fresh folder under the temporary one for the history files.
    static std::wstring UseHistoryFolder(const wchar_t* prefix)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        const std::wstring folder = std::wstring(temp) + prefix + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        SetHistoryFolder(CJOVString((folder + L"\\").c_str()));
        return folder;
    }

    static void DropHistoryFolder(const std::wstring& folder)
    {
        SetHistoryFolder(CJOVString());
        RemoveDirectoryW(folder.c_str());
    }

    Services::CServicesManagerImpl m_bus{5000};
    CFakeModel m_model;
    CFakeProtocols m_protocols;
    CFakeAlerts m_alerts;
    CFakeNotifications m_notifications;
    HWND m_window = nullptr;
};

} // namespace

int main()
{
    CBench bench;
    bench.RunList();
    bench.RunPaints();
    bench.RunArrivals();
    bench.RunHistory();
    return 0;
}
