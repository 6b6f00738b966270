#include "JabberStatusTable.h"

#include "JabberImageTable.h"
#include "PluginModule.h"
#include "StatusInfoTable.h"

namespace {

struct StatusRow {
    Protocols::Status status;
    int textId;
    const wchar_t* name;
    int image;  // position in the image table
};

const StatusRow kStatusRows[] = {
    {Protocols::StatusOffline, 12, L"Offline", kJabberImageOffline},
    {Protocols::StatusConnecting, 3, L"Connecting", kJabberImageConnecting},
    {Protocols::StatusOnline, 13, L"Online", kJabberImageOnline},
    {Protocols::StatusInvisible, 8, L"Invisible", 5},
    {Protocols::StatusFreeForChat, 7, L"Free 4 chat", 6},
    {Protocols::StatusEvil, 6, L"Evil", 7},
    {Protocols::StatusDepression, 4, L"Depression", 8},
    {Protocols::StatusAtHome, 0, L"@ Home", 9},
    {Protocols::StatusAtWork, 1, L"@ Work", 10},
    {Protocols::StatusLunch, 9, L"Lunch", 11},
    {Protocols::StatusAway, 2, L"Away", 12},
    {Protocols::StatusNotAvailable, 10, L"Not available", 13},
    {Protocols::StatusOccupied, 11, L"Occupied", 14},
    {Protocols::StatusDoNotDisturb, 5, L"Do not disturb", 15},
};

void FillTable(Skins::CSkinManager* skins, CJOVArray<Protocols::StatusInfo>& table)
{
    LoadJabberImages(skins);
    for (const StatusRow& row : kStatusRows) {
        Protocols::StatusInfo info;
        info.status = row.status;
        info.name = GetPluginText(row.textId, row.name);
        info.images.Append(GetJabberImageId(row.image));
        table.Append(info);
    }
}

CStatusInfoTable g_statusTable(FillTable);

} // namespace

void BuildJabberStatusTable(Skins::CSkinManager* skins)
{
    g_statusTable.Build(skins);
}

void ClearJabberStatusTable()
{
    g_statusTable.Clear();
}

int GetJabberStatusTableCount()
{
    return g_statusTable.Count();
}

bool FindJabberStatusInfo(Skins::CSkinManager* skins, int status, Protocols::StatusInfo& info)
{
    if (status == Protocols::StatusInvisibleForAll)
        status = Protocols::StatusInvisible;
    return g_statusTable.Find(skins, status, info);
}
