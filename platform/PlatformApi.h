// Export macro of the shell layer. The layer is linked whole into the common
// library and exported from it, so every deliverable shares one shell state
// (menu bars, full-screen flags, the call trace).
#pragma once

#if defined(JOV_COMMON_BUILD)
#define JOV_PLATFORM_API __declspec(dllexport)
#else
#define JOV_PLATFORM_API __declspec(dllimport)
#endif
