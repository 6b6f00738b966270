// Sound files played through winmm's PlaySoundW, or through a player a test
// puts in its place.
// Any thread.
#pragma once

#include <windows.h>

#include "PlatformApi.h"

#define JOV_SND_ASYNC 0x0001
#define JOV_SND_NODEFAULT 0x0002
#define JOV_SND_NOSTOP 0x0010
#define JOV_SND_FILENAME 0x00020000

namespace Platform {

typedef BOOL(WINAPI* PlaySoundFn)(LPCWSTR sound, HMODULE module, DWORD flags);

JOV_PLATFORM_API BOOL PlaySoundFile(LPCWSTR sound, HMODULE module, DWORD flags);
// Null puts winmm's back. Answers the player it replaced (null for winmm's).
JOV_PLATFORM_API PlaySoundFn SetSoundPlayer(PlaySoundFn player);

} // namespace Platform
