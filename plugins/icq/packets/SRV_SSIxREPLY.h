// SNAC 0x13/0x06: the server-stored contact list, or one part of it. The
// account also keeps the raw body as its cached list and reads it back with
// UnpackItems.
#pragma once

#include <vector>

#include "SNACPacket.h"
#include "SSIItem.h"

class CSRV_SSIxREPLY : public CSNACPacket {
public:
    CSRV_SSIxREPLY();
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    // Parses a list body: version, item count, the items, and the last-change
    // time unless flags bit 0 says more parts follow. Answers the bytes read,
    // or 0 when the body ends inside it; the list then keeps nothing of it.
    int UnpackItems(const unsigned char* body, int length);

    const std::vector<SSIItem>& GetItems() const { return m_items; }
    unsigned int GetLastChangeTime() const { return m_lastChangeTime; }

private:
    std::vector<SSIItem> m_items;
    unsigned int m_lastChangeTime;
};
