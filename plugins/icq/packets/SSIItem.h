// One item of the server-stored contact list: a group, a contact, a
// visibility entry or another kind, with its attributes kept as received.
#pragma once

#include "ByteReader.h"
#include "ByteWriter.h"
#include "JOVString.h"
#include "TLV.h"

struct SSIItem {
    CJOVString name;  // the UIN of a contact, the name of a group
    unsigned short groupId = 0;
    unsigned short itemId = 0;
    unsigned short type = 0;
    CTLVCol tlvs;

    // Reads one item in its wire form; false when the bytes end inside it.
    bool Read(CByteReader& reader);
    void Write(CByteWriter& writer) const;
};
