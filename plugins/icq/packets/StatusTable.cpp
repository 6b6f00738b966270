#include "StatusTable.h"

#include "ImageTable.h"
#include "PluginModule.h"
#include "StatusInfoTable.h"

namespace {

struct StatusRow {
    Protocols::Status status;
    const wchar_t* name;
    int textId;
    int images[2];  // positions in the image table; -1 for none
    unsigned short held;
};

const StatusRow kStatusRows[] = {
    {Protocols::StatusOffline, L"Offline", 14, {kImageOffline, -1}, 0xFFFF},
    {Protocols::StatusConnecting, L"Connecting", 4, {kImageConnecting, -1}, 0xFFFF},
    {Protocols::StatusOnline, L"Online", 15, {kImageOnline, -1}, 0x0000},
    {Protocols::StatusInvisible, L"Invisible", 10, {kImageOnline, 8}, 0x0001},
    {Protocols::StatusInvisibleForAll, L"Invisible for all", 9, {9, -1}, 0x0001},
    {Protocols::StatusFreeForChat, L"Free 4 chat", 8, {kImageOnline, 10}, 0x2000},
    {Protocols::StatusEvil, L"Evil", 7, {kImageOnline, 11}, 0x0030},
    {Protocols::StatusDepression, L"Depression", 5, {kImageOnline, 12}, 0x0040},
    {Protocols::StatusAtHome, L"@ Home", 1, {kImageOnline, 13}, 0x0050},
    {Protocols::StatusAtWork, L"@ Work", 2, {kImageOnline, 14}, 0x0060},
    {Protocols::StatusLunch, L"Lunch", 11, {kImageOnline, 15}, 0x0120},
    {Protocols::StatusAway, L"Away", 3, {kImageOnline, 16}, 0x0100},
    {Protocols::StatusNotAvailable, L"Not available", 12, {kImageOnline, 17}, 0x0400},
    {Protocols::StatusOccupied, L"Occupied", 13, {kImageOnline, 18}, 0x1000},
    {Protocols::StatusDoNotDisturb, L"Do not disturb", 6, {kImageOnline, 19}, 0x0200},
};

void FillTable(Skins::CSkinManager* skins, CJOVArray<Protocols::StatusInfo>& table)
{
    LoadImages(skins);
    for (const StatusRow& row : kStatusRows) {
        Protocols::StatusInfo info;
        info.status = row.status;
        info.name = GetPluginText(row.textId, row.name);
        for (int position : row.images) {
            if (position >= 0)
                info.images.Append(GetImageId(position));
        }
        table.Append(info);
    }
}

CStatusInfoTable g_statusTable(FillTable);

} // namespace

void BuildStatusTable(Skins::CSkinManager* skins)
{
    g_statusTable.Build(skins);
}

void ClearStatusTable()
{
    g_statusTable.Clear();
}

int GetStatusTableCount()
{
    return g_statusTable.Count();
}

bool FindStatusInfo(Skins::CSkinManager* skins, int status, Protocols::StatusInfo& info)
{
    return g_statusTable.Find(skins, status, info);
}

unsigned short StatusToIcqStatus(int status)
{
    for (const StatusRow& row : kStatusRows) {
        if (row.status == status)
            return row.held;
    }
    return 0xFFFF;
}

Protocols::Status IcqStatusToStatus(unsigned short held)
{
    // Free for chat wins over every other bit, and Lunch (0x0120) must be
    // tested before the Away bit it contains.
    if (held & 0x2000) return Protocols::StatusFreeForChat;
    if (held & 0x0400) return Protocols::StatusNotAvailable;
    if (held & 0x0200) return Protocols::StatusDoNotDisturb;
    if (held & 0x1000) return Protocols::StatusOccupied;
    if (held == 0x0120) return Protocols::StatusLunch;
    if (held & 0x0100) return Protocols::StatusAway;
    if (held & 0x0001) return Protocols::StatusInvisible;
    if (held == 0x0030) return Protocols::StatusEvil;
    if (held == 0x0040) return Protocols::StatusDepression;
    if (held == 0x0050) return Protocols::StatusAtHome;
    if (held == 0x0060) return Protocols::StatusAtWork;
    return Protocols::StatusOnline;
}
