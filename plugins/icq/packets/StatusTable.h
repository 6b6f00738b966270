// The plug-in's fifteen statuses: names in the user's language, images, and
// the ICQ status word of each. One table for the module, filled on first use
// from any account's thread, so it is guarded by its own lock.
//
// ICQ status words are kept in held form: the wire word (low half of online
// TLV 0x06) with its two bytes exchanged.
#pragma once

#include "SkinManager.h"
#include "protocols/Status.h"

// Registers the images (LoadImages) and fills the table while it is empty.
void BuildStatusTable(Skins::CSkinManager* skins);
// Empties the table, so the next use rebuilds it (after a language change).
void ClearStatusTable();
int GetStatusTableCount();
// Copies the record of the status into `info`, building the table first when
// needed; false, with `info` untouched, for a status not in the table.
bool FindStatusInfo(Skins::CSkinManager* skins, int status, Protocols::StatusInfo& info);

// The held-form word sent for a status; 0xFFFF for Offline, Connecting and
// any unknown value.
unsigned short StatusToIcqStatus(int status);
// The status a held-form word shows, by the first bit that holds.
Protocols::Status IcqStatusToStatus(unsigned short held);
