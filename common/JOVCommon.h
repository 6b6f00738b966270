// Export macro of the common library, shared by every deliverable.
#pragma once

#if defined(JOV_COMMON_BUILD)
#define JOV_COMMON_API __declspec(dllexport)
#else
#define JOV_COMMON_API __declspec(dllimport)
#endif
