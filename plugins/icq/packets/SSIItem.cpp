#include "SSIItem.h"

#include "EncodedText.h"
#include "PacketText.h"

bool SSIItem::Read(CByteReader& reader)
{
    int nameLength = reader.U16();
    const unsigned char* bytes = reader.Bytes(nameLength);
    groupId = reader.U16();
    itemId = reader.U16();
    type = reader.U16();
    int tlvLength = reader.U16();
    CByteReader attributes = reader.Sub(tlvLength);
    if (reader.Failed())
        return false;
    name = PacketText::Decode(bytes, nameLength, PacketText::kUTF8);
    tlvs.clear();
    tlvs.Unpack(attributes.Data(), attributes.Length());
    return true;
}

void SSIItem::Write(CByteWriter& writer) const
{
    CEncodedText bytes(name, PacketText::kUTF8);
    int tlvLength = static_cast<int>(tlvs.GetDataLength());
    if (!writer.Fits(bytes.Length(), 16) || !writer.Fits(tlvLength, 16))
        return;
    writer.U16(static_cast<unsigned short>(bytes.Length()));
    writer.Bytes(bytes.Bytes(), bytes.Length());
    writer.U16(groupId);
    writer.U16(itemId);
    writer.U16(type);
    writer.U16(static_cast<unsigned short>(tlvLength));
    writer.Tlvs(tlvs, false);
}
