#include "Packer.h"

#include <cstdlib>
#include <cstring>

void CPacker::Pack8(unsigned char* at, unsigned char value)
{
    at[0] = value;
}

void CPacker::Pack16(unsigned char* at, unsigned short value)
{
    at[0] = static_cast<unsigned char>(value >> 8);
    at[1] = static_cast<unsigned char>(value);
}

void CPacker::Pack16LE(unsigned char* at, unsigned short value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

void CPacker::Pack32(unsigned char* at, unsigned int value)
{
    at[0] = static_cast<unsigned char>(value >> 24);
    at[1] = static_cast<unsigned char>(value >> 16);
    at[2] = static_cast<unsigned char>(value >> 8);
    at[3] = static_cast<unsigned char>(value);
}

void CPacker::Pack32LE(unsigned char* at, unsigned int value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
    at[2] = static_cast<unsigned char>(value >> 16);
    at[3] = static_cast<unsigned char>(value >> 24);
}

void CPacker::PackBuffer(unsigned char* at, const void* bytes, int n)
{
    if (n > 0 && bytes)
        std::memcpy(at, bytes, static_cast<size_t>(n));
}

unsigned char CPacker::Unpack8(const unsigned char* at)
{
    return at[0];
}

unsigned short CPacker::Unpack16(const unsigned char* at)
{
    return static_cast<unsigned short>((at[0] << 8) | at[1]);
}

unsigned int CPacker::Unpack32(const unsigned char* at)
{
    return (static_cast<unsigned int>(at[0]) << 24) | (static_cast<unsigned int>(at[1]) << 16) |
           (static_cast<unsigned int>(at[2]) << 8) | at[3];
}

unsigned char* CPacker::UnpackBuffer(const unsigned char* at, int n)
{
    if (n < 0)
        n = 0;
    // One byte at least, so that an empty run is still a buffer the caller may free.
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(n > 0 ? static_cast<size_t>(n) : 1));
    if (copy && n > 0)
        std::memcpy(copy, at, static_cast<size_t>(n));
    return copy;
}
