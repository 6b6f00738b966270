// The ids of the plug-in's images, registered once with the skin manager and
// named everywhere by their fixed position. One table for the module; every
// account's thread may fill or read it, so it is guarded by its own lock.
#pragma once

#include "SkinManager.h"
#include "JOVArray.h"

// Positions of the table.
enum JabberImagePosition {
    kJabberImageProto = 0,
    kJabberImageOffline = 2,
    kJabberImageConnecting = 3,
    kJabberImageOnline = 4,
    kJabberImageNotInList = 16,
    kJabberImageNeedAuth = 17,
    kJabberImageRequest = 18,
    kJabberImageGrant = 19,
    kJabberImageRevoke = 20,
};

const int kJabberImageCount = 21;

// The file registered at a position (no folder); empty past the last.
CJOVString GetJabberImageFileName(int position);
// Registers every image while the table is empty; later calls return at once.
// Without a registrar nothing is registered and the table stays empty.
void LoadJabberImages(Skins::CSkinManager* skins);
// Gives every id back to the registrar (skipped without one) and empties the table.
void ReleaseJabberImages(Skins::CSkinManager* skins);
// The id at a position; a position past the last reads the last; 0 while empty.
unsigned int GetJabberImageId(int position);
// A copy of the whole table, for "Get images".
CJOVArray<unsigned int> GetJabberImages();
