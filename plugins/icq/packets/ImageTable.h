// The ids of the plug-in's images, registered once with the skin manager and
// named everywhere by their fixed position. One table for the module; every
// account's thread may fill or read it, so it is guarded by its own lock.
#pragma once

#include "JOVArray.h"
#include "SkinManager.h"

// Positions of the table.
enum ImagePosition {
    kImageProto = 0,
    kImageOffline = 2,
    kImageAIMOffline = 3,
    kImageConnecting = 4,
    kImageOnline = 5,
    kImageOwnClient = 6,
    kImageAIMOnline = 7,
    kImageAuth = 33,
    kImageXStatusBase = 37,  // x-status picture n at 37 + n
};

const int kImageCount = 73;

// The file registered at a position (no folder).
CJOVString GetImageFileName(int position);
// Registers every image while the table is empty; later calls return at once.
// Without a skin manager nothing is registered and the table stays empty.
void LoadImages(Skins::CSkinManager* skins);
// Gives every id back to the skin manager (skipped without one) and empties the table.
void ReleaseImages(Skins::CSkinManager* skins);
// The id at a position; a position past the last filled one reads the last.
unsigned int GetImageId(int position);
int GetImageCount();
// A copy of the whole table, for "Get images".
CJOVArray<unsigned int> GetImages();
