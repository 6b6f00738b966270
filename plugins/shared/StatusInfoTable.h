// A plug-in's status records (names in the user's language, images), one
// table for the module: filled on first use from any account's thread and
// emptied by any account's "Lang change", so it is guarded by its own lock.
#pragma once

#include <mutex>

#include "JOVArray.h"
#include "SkinManager.h"
#include "protocols/Status.h"

class CStatusInfoTable {
public:
    // Registers the plug-in's images and appends its records; runs under the
    // lock while the table is empty.
    typedef void (*Filler)(Skins::CSkinManager* skins, CJOVArray<Protocols::StatusInfo>& table);

    explicit CStatusInfoTable(Filler fill) : m_fill(fill) {}
    CStatusInfoTable(const CStatusInfoTable&) = delete;
    CStatusInfoTable& operator=(const CStatusInfoTable&) = delete;

    // Fills the table while it is empty.
    void Build(Skins::CSkinManager* skins);
    // The next use rebuilds it (after a language change).
    void Clear();
    int Count();
    // Copies the record of the status into `info`, building the table first
    // when needed; false, with `info` untouched, for a status not in it.
    bool Find(Skins::CSkinManager* skins, int status, Protocols::StatusInfo& info);

private:
    void BuildLocked(Skins::CSkinManager* skins);

    Filler m_fill;
    std::mutex m_lock;
    CJOVArray<Protocols::StatusInfo> m_table;
};
