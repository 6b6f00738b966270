// The plug-in's statuses: names in the user's language and images. One table
// for the module, filled on first use from any account's thread and emptied
// by any account's "Lang change", so it is guarded by its own lock.
#pragma once

#include "SkinManager.h"
#include "protocols/Status.h"

// Registers the images (LoadJabberImages) and fills the table while it is empty.
void BuildJabberStatusTable(Skins::CSkinManager* skins);
// Empties the table, so the next use rebuilds it (after a language change).
void ClearJabberStatusTable();
int GetJabberStatusTableCount();
// Copies the record of the status into `info`, building the table first when
// needed; false, with `info` untouched, for a status not in the table.
// Invisible for All is Invisible here.
bool FindJabberStatusInfo(Skins::CSkinManager* skins, int status, Protocols::StatusInfo& info);
