// A host of made-up contacts, accounts and images for the notifications, the
// tray icon and the version check; helpers to pump the test thread's
// messages (the bubbles' sink window lives on it) and to watch the bubble on
// the screen.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "BubbleLayout.h"
#include "Notification.h"
#include "common/Stopwatch.h"
#include "core/notify/NotificationsManager.h"
#include "core/notify/NotifyHost.h"

inline std::wstring Str(const CJOVString& text)
{
    return text.Data() ? std::wstring(text.Data(), text.GetLength()) : std::wstring();
}

// Image ids the fake skin draws, each a shape of its own colour.
constexpr int kImageMessage = 10;
constexpr int kImageOnline = 20;
constexpr int kImageAway = 21;

class CFakeNotifyHost : public CNotifyHost {
public:
    struct Contact {
        std::wstring alias;
        unsigned int account;
    };

    bool GetString(int textId, CJOVString& out) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        auto found = strings.find(textId);
        if (found == strings.end())
            return false;
        out = CJOVString(found->second.c_str());
        return true;
    }

    void DrawImage(int imageId, HDC dc, const RECT& rect) override;

    CJOVString GetContactAlias(unsigned int contactId) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        auto found = contacts.find(contactId);
        return CJOVString(found == contacts.end() ? L"" : found->second.alias.c_str());
    }

    unsigned int GetContactAccount(unsigned int contactId) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        auto found = contacts.find(contactId);
        return found == contacts.end() ? 0 : found->second.account;
    }

    CJOVString GetAccountProtocolName(unsigned int accountId) override
    {
        return CJOVString(accountId == 0x10000001 ? L"ICQ" : L"");
    }

    CJOVString GetAccountName(unsigned int accountId) override
    {
        return CJOVString(accountId == 0x10000001 ? L"123456789" : L"");
    }

    bool GetOverallStatus(int* status, CJOVArray<unsigned int>* images) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (overallStatus < 0)
            return false;
        if (status)
            *status = overallStatus;
        if (images) {
            images->RemoveAll();
            for (unsigned int image : statusImages)
                images->Append(image);
        }
        return true;
    }

    HWND GetMainWindow() override { return mainWindow; }

    std::vector<BubbleSmiley> GetBubbleSmilies() override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return smilies;
    }

    void SetStatus(int status, std::vector<unsigned int> images)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        overallStatus = status;
        statusImages = std::move(images);
    }

    // Runs on the thread that draws (the worker, making an icon), once per image id.
    std::function<void(int imageId)> onDraw;
    std::map<int, std::wstring> strings;
    std::map<unsigned int, Contact> contacts = {{0x80000001, {L"Alice", 0x10000001}},
                                                {0x80000002, {L"Bob", 0x10000001}},
                                                {0x80000003, {L"<b>Eve</b> & \"co\"", 0x10000001}}};
    std::vector<BubbleSmiley> smilies;
    HWND mainWindow = nullptr;
    // The bitmap each image was drawn on (the one selected into the DC).
    std::vector<HBITMAP> drawnOn;

private:
    std::mutex m_lock;
    int overallStatus = 2;
    std::vector<unsigned int> statusImages = {kImageOnline};
};

constexpr unsigned int kAlice = 0x80000001;
constexpr unsigned int kBob = 0x80000002;
constexpr unsigned int kEve = 0x80000003;

// Dispatches the test thread's messages until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
void Pump(DWORD ms);

// The bubble notification as the shell holds it; false when there is none.
bool BubbleState(Platform::NotificationState* state);
// Waits for a bubble whose title is not `other` (any bubble when empty).
bool WaitForBubble(Platform::NotificationState* state, DWORD ms, const std::wstring& other = L"");
bool WaitForNoBubble(DWORD ms);
// "title: text", the text as a reader sees it.
std::wstring Label(const Platform::NotificationState& state);

// What the answer callback got.
struct Answer {
    unsigned int serial;
    BOOL open;
};
std::vector<Answer> TakeAnswers();
void RecordAnswer(unsigned int serial, BOOL open);

class NotificationsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        m_manager.reset();
        TakeAnswers();
    }

    // Bubbles pop up (nothing counts as the active main window) unless the
    // test says otherwise.
    CNotificationsManager& Start(NotificationTimings timings, NotificationOptions options = Popping())
    {
        m_manager.reset();
        m_manager = std::make_unique<CNotificationsManager>(nullptr, m_host, timings);
        m_manager->SetOptions(options);
        m_manager->SetAnswerCallback(RecordAnswer);
        return *m_manager;
    }

    static NotificationOptions Popping()
    {
        NotificationOptions options;
        options.signOn = TRUE;
        options.signOff = TRUE;
        options.dontShowIfActive = FALSE;
        return options;
    }

    // Answers the bubble on display as its soft key would.
    void Press(UINT command) { PostMessageW(m_manager->GetSinkWindow(), WM_COMMAND, command, 0); }

    // The bubbles in the order they show ("title: text"), each answered once
    // it is up (a message with Hide), until none comes for a while.
    std::vector<std::wstring> AnswerAll(DWORD quietMs = 600)
    {
        std::vector<std::wstring> labels;
        Platform::NotificationState state;
        while (PumpUntil([&] { return BubbleState(&state); }, quietMs)) {
            std::wstring label = Label(state);
            labels.push_back(label);
            Press(state.keyCommands[0] == CNotificationsManager::kCmdOpen ? CNotificationsManager::kCmdHide
                                                                           : CNotificationsManager::kCmdOk);
            PumpUntil([&] { return !BubbleState(&state) || Label(state) != label; }, 5000);
        }
        return labels;
    }

    CFakeNotifyHost m_host;
    std::unique_ptr<CNotificationsManager> m_manager;
};
