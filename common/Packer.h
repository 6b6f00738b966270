// Packing of numbers and byte runs at a given address, for the protocol
// packets and the history records. No bounds checks: the caller provides the room.
#pragma once

#include "JOVCommon.h"

class JOV_COMMON_API CPacker {
public:
    static void Pack8(unsigned char* at, unsigned char value);
    static void Pack16(unsigned char* at, unsigned short value);
    static void Pack16LE(unsigned char* at, unsigned short value);
    static void Pack32(unsigned char* at, unsigned int value);
    static void Pack32LE(unsigned char* at, unsigned int value);
    static void PackBuffer(unsigned char* at, const void* bytes, int n);

    static unsigned char Unpack8(const unsigned char* at);
    static unsigned short Unpack16(const unsigned char* at);
    static unsigned int Unpack32(const unsigned char* at);
    // A malloc'd copy of the n bytes (never null unless memory ran out);
    // the caller frees it with free(), which every module shares.
    static unsigned char* UnpackBuffer(const unsigned char* at, int n);
};
