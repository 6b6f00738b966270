// Type-length-value items and ordered collections of them: the TLVs of the
// ICQ packets and the records of the history files.
#pragma once

#include "JOVCommon.h"

#include <vector>

// One item: 16-bit type, 16-bit length, data. Serialised big-endian (type, length, data).
class JOV_COMMON_API CTLV {
public:
    CTLV();  // type 0xFFFF, no data
    CTLV(unsigned short type, unsigned char value);
    CTLV(unsigned short type, unsigned short value);  // big-endian
    CTLV(unsigned short type, unsigned int value);    // big-endian
    CTLV(unsigned short type, unsigned short length, const void* bytes);
    // Reads one serialised item from at most `available` bytes (they come from
    // the network): an item that does not lie whole inside them gives the default item.
    CTLV(const unsigned char* serialised, int available);
    CTLV(const CTLV& other);
    CTLV(CTLV&& other) noexcept;
    CTLV& operator=(const CTLV& other);
    CTLV& operator=(CTLV&& other) noexcept;
    virtual ~CTLV();

    void Load(unsigned short type, unsigned short length, const void* bytes);

    unsigned short GetType() const { return m_type; }
    unsigned short GetDataLength() const { return m_length; }
    unsigned char* GetData() const { return m_data; }  // owned by the item; null when empty

    bool operator<(const CTLV& other) const { return m_type < other.m_type; }

private:
    void Clear();

    unsigned short m_type;
    unsigned short m_length;
    unsigned char* m_data;
};

// Items in the order they were appended or unpacked.
class JOV_COMMON_API CTLVCol : public std::vector<CTLV> {
public:
    // Serialised size: the sum of 4 + data length over the items.
    int GetDataLength() const;
    // A malloc'd buffer of GetDataLength() bytes, headers little-endian when the
    // flag is non-zero; the caller frees it with free().
    unsigned char* GetBuffer(int littleEndian) const;
    // The first item of that type, or null.
    CTLV* GetTLV(unsigned short type);
    const CTLV* GetTLV(unsigned short type) const;
    // Appends every item lying whole inside the bytes; answers GetDataLength()
    // of the whole collection.
    int Unpack(const unsigned char* bytes, int length);
};
