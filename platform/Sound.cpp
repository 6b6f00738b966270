#include "Sound.h"

#include <mmsystem.h>

#include <atomic>

namespace {

std::atomic<Platform::PlaySoundFn> s_player{nullptr};

} // namespace

namespace Platform {

BOOL PlaySoundFile(LPCWSTR sound, HMODULE module, DWORD flags)
{
    PlaySoundFn player = s_player.load();
    return player ? player(sound, module, flags) : ::PlaySoundW(sound, module, flags);
}

PlaySoundFn SetSoundPlayer(PlaySoundFn player)
{
    return s_player.exchange(player);
}

} // namespace Platform
