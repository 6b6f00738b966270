// The C library's time.h with the names the Windows C runtime gives its
// time-zone state.
#pragma once

#include_next <time.h>

#define _tzset tzset
#define _timezone timezone
#ifdef __cplusplus
extern "C" long _dstbias;
#else
extern long _dstbias;
#endif
