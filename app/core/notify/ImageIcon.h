// Icons made of skin images, for the bubbles and the tray: a black square with
// the images drawn over it, in which black stays transparent.
#pragma once

#include <windows.h>

#include <vector>

#include "core/notify/NotifyHost.h"

// The side of a 16-unit icon at that density: (16 * dpi + 48) / 96.
int IconSide(int dpi);

// width x height; images drawn in order over the whole square, none when the
// list is empty or starts with -1 (the blank icon). Null when it cannot be made.
HICON CreateImageIcon(CNotifyHost& host, const std::vector<int>& images, int width, int height);
