// The readers fuzzed inside the Windows build.
#pragma once

#include "fuzz/support/FuzzCheck.h"
#include "fuzz/wine/MutationFuzzer.h"

extern const MutationTarget kChatTextTarget;
extern const MutationTarget kAccountsDataTarget;
