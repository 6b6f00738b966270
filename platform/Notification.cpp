#include "Notification.h"

#include <mutex>
#include <vector>

#include "BubbleWindow.h"
#include "ShellTrace.h"

namespace {

struct Record {
    CLSID clsid;
    DWORD id;
    DWORD priority;
    DWORD duration;
    HICON icon;
    DWORD flags;
    HWND sink;
    std::wstring html;
    std::wstring title;
    LPARAM lParam;
    std::wstring keyTitles[NOTIF_NUM_SOFTKEYS];
    bool keyPresent[NOTIF_NUM_SOFTKEYS];
    WPARAM keyCommands[NOTIF_NUM_SOFTKEYS];
    DWORD keyFlags[NOTIF_NUM_SOFTKEYS];
    std::wstring todayKey;
    std::wstring todayExec;
    bool hidden;  // a soft key sent it to the tray
};

struct Records {
    std::mutex lock;
    std::vector<Record> list;  // in the order of adding
};

Records& TheRecords()
{
    static Records records;
    return records;
}

std::wstring Text(LPCWSTR text)
{
    return text ? std::wstring(text) : std::wstring();
}

Record* Find(std::vector<Record>& list, const CLSID& clsid, DWORD id)
{
    for (Record& record : list) {
        if (record.id == id && IsEqualGUID(record.clsid, clsid))
            return &record;
    }
    return nullptr;
}

// The newest record that pops up.
const Record* Shown(const std::vector<Record>& list)
{
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (!(it->flags & SHNF_STRAIGHTTOTRAY) && !it->hidden)
            return &*it;
    }
    return nullptr;
}

void CopySoftKeys(Record& record, const SHNOTIFICATIONDATA& data, bool titles, bool commands)
{
    for (int i = 0; i < NOTIF_NUM_SOFTKEYS; ++i) {
        if (titles) {
            record.keyPresent[i] = !(data.grfFlags & SHNF_HASMENU) && data.rgskn[i].pszTitle != nullptr;
            record.keyTitles[i] = record.keyPresent[i] ? Text(data.rgskn[i].pszTitle) : std::wstring();
        }
        if (commands) {
            record.keyCommands[i] = (data.grfFlags & SHNF_HASMENU) ? 0 : data.rgskn[i].skc.wpCmd;
            record.keyFlags[i] = (data.grfFlags & SHNF_HASMENU) ? 0 : data.rgskn[i].skc.grfFlags;
        }
    }
}

} // namespace

LRESULT WINAPI SHNotificationAdd(SHNOTIFICATIONDATA* data)
{
    if (!data || data->cbStruct != sizeof(SHNOTIFICATIONDATA))
        return ERROR_INVALID_PARAMETER;
    Platform::TraceShellCall("SHNotificationAdd", data->hwndSink, data->grfFlags);
    {
        Records& records = TheRecords();
        std::lock_guard<std::mutex> hold(records.lock);
        if (Find(records.list, data->clsid, data->dwID))
            return ERROR_ALREADY_EXISTS;
        Record record = {};
        record.clsid = data->clsid;
        record.id = data->dwID;
        record.priority = data->npPriority;
        record.duration = data->csDuration;
        record.icon = data->hicon;
        record.flags = data->grfFlags;
        record.sink = data->hwndSink;
        record.html = Text(data->pszHTML);
        record.title = Text(data->pszTitle);
        record.lParam = data->lParam;
        CopySoftKeys(record, *data, true, true);
        record.todayKey = Text(data->pszTodaySK);
        record.todayExec = Text(data->pszTodayExec);
        records.list.push_back(std::move(record));
    }
    BubbleThread::Refresh();
    return ERROR_SUCCESS;
}

LRESULT WINAPI SHNotificationUpdate(DWORD mask, SHNOTIFICATIONDATA* data)
{
    if (!data)
        return ERROR_INVALID_PARAMETER;
    Platform::TraceShellCall("SHNotificationUpdate", data->hwndSink, mask);
    {
        Records& records = TheRecords();
        std::lock_guard<std::mutex> hold(records.lock);
        Record* record = Find(records.list, data->clsid, data->dwID);
        if (!record)
            return ERROR_NOT_FOUND;
        if (mask & SHNUM_PRIORITY)
            record->priority = data->npPriority;
        if (mask & SHNUM_DURATION)
            record->duration = data->csDuration;
        if (mask & SHNUM_ICON)
            record->icon = data->hicon;
        if (mask & SHNUM_HTML)
            record->html = Text(data->pszHTML);
        if (mask & SHNUM_TITLE)
            record->title = Text(data->pszTitle);
        if (mask & SHNUM_FLAGS)
            record->flags = data->grfFlags;
        if (mask & (SHNUM_SOFTKEYS | SHNUM_SOFTKEYCMDS))
            CopySoftKeys(*record, *data, (mask & SHNUM_SOFTKEYS) != 0, (mask & SHNUM_SOFTKEYCMDS) != 0);
        if (mask & SHNUM_TODAYKEY)
            record->todayKey = Text(data->pszTodaySK);
        if (mask & SHNUM_TODAYEXEC)
            record->todayExec = Text(data->pszTodayExec);
    }
    BubbleThread::Refresh();
    return ERROR_SUCCESS;
}

LRESULT WINAPI SHNotificationRemove(const CLSID* clsid, DWORD id)
{
    if (!clsid)
        return ERROR_INVALID_PARAMETER;
    Platform::TraceShellCall("SHNotificationRemove", nullptr, id);
    {
        Records& records = TheRecords();
        std::lock_guard<std::mutex> hold(records.lock);
        Record* record = Find(records.list, *clsid, id);
        if (!record)
            return ERROR_NOT_FOUND;
        records.list.erase(records.list.begin() + (record - records.list.data()));
    }
    BubbleThread::Refresh();
    return ERROR_SUCCESS;
}

LRESULT WINAPI SHNotificationGetData(const CLSID* clsid, DWORD id, SHNOTIFICATIONDATA* data)
{
    if (!clsid || !data)
        return ERROR_INVALID_PARAMETER;
    Records& records = TheRecords();
    std::lock_guard<std::mutex> hold(records.lock);
    const Record* record = Find(records.list, *clsid, id);
    if (!record)
        return ERROR_NOT_FOUND;
    *data = SHNOTIFICATIONDATA{};
    data->cbStruct = sizeof(SHNOTIFICATIONDATA);
    data->dwID = record->id;
    data->npPriority = record->priority;
    data->csDuration = record->duration;
    data->hicon = record->icon;
    data->grfFlags = record->flags;
    data->clsid = record->clsid;
    data->hwndSink = record->sink;
    data->lParam = record->lParam;
    for (int i = 0; i < NOTIF_NUM_SOFTKEYS; ++i) {
        data->rgskn[i].skc.wpCmd = record->keyCommands[i];
        data->rgskn[i].skc.grfFlags = record->keyFlags[i];
    }
    return ERROR_SUCCESS;
}

namespace BubbleRecords {

bool Current(BubbleContent* content)
{
    Records& records = TheRecords();
    std::lock_guard<std::mutex> hold(records.lock);
    const Record* shown = Shown(records.list);
    if (!shown)
        return false;
    content->clsid = shown->clsid;
    content->id = shown->id;
    content->flags = shown->flags;
    content->icon = shown->icon;
    content->title = shown->title;
    content->html = shown->html;
    for (int i = 0; i < NOTIF_NUM_SOFTKEYS; ++i) {
        content->keyTitles[i] = shown->keyTitles[i];
        content->keyPresent[i] = shown->keyPresent[i];
        content->keyCommands[i] = shown->keyCommands[i];
        content->keyFlags[i] = shown->keyFlags[i];
    }
    return true;
}

void OnSoftKey(const CLSID& clsid, DWORD id, WPARAM command)
{
    HWND sink = nullptr;
    {
        Records& records = TheRecords();
        std::lock_guard<std::mutex> hold(records.lock);
        Record* record = Find(records.list, clsid, id);
        if (!record)
            return;
        int key = -1;
        for (int i = 0; i < NOTIF_NUM_SOFTKEYS; ++i) {
            if (record->keyPresent[i] && record->keyCommands[i] == command)
                key = i;
        }
        if (key < 0 || (record->keyFlags[key] & NOTIF_SOFTKEY_FLAGS_DISABLED))
            return;
        sink = record->sink;
        DWORD flags = record->keyFlags[key];
        if (flags & NOTIF_SOFTKEY_FLAGS_HIDE)
            record->hidden = true;
        else if (!(flags & NOTIF_SOFTKEY_FLAGS_STAYOPEN))
            records.list.erase(records.list.begin() + (record - records.list.data()));
    }
    Platform::TraceShellCall("SHNotificationSoftKey", sink, command);
    if (sink)
        PostMessageW(sink, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

} // namespace BubbleRecords

namespace Platform {

int GetNotificationCount()
{
    Records& records = TheRecords();
    std::lock_guard<std::mutex> hold(records.lock);
    return static_cast<int>(records.list.size());
}

bool GetNotificationState(const CLSID& clsid, DWORD id, NotificationState* state)
{
    Records& records = TheRecords();
    std::lock_guard<std::mutex> hold(records.lock);
    Record* record = Find(records.list, clsid, id);
    if (!record)
        return false;
    if (state) {
        state->sink = record->sink;
        state->flags = record->flags;
        state->priority = record->priority;
        state->icon = record->icon;
        state->title = record->title;
        state->html = record->html;
        for (int i = 0; i < NOTIF_NUM_SOFTKEYS; ++i) {
            state->keyTitles[i] = record->keyTitles[i];
            state->keyCommands[i] = record->keyCommands[i];
            state->keyFlags[i] = record->keyFlags[i];
        }
        state->poppedUp = Shown(records.list) == record;
    }
    return true;
}

HWND GetBubbleWindow()
{
    return BubbleThread::Window();
}

HWND GetBubbleSoftKeyBar()
{
    return BubbleThread::SoftKeyBar();
}

} // namespace Platform
