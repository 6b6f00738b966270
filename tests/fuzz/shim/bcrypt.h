// The system's random source, as the DIGEST-MD5 client nonce draws it.
#pragma once

#include <windows.h>

#define BCRYPT_USE_SYSTEM_PREFERRED_RNG 0x00000002
#define BCRYPT_SUCCESS(status) ((status) >= 0)

NTSTATUS BCryptGenRandom(BCRYPT_ALG_HANDLE algorithm, unsigned char* buffer, ULONG count, ULONG flags);
