#include "SRV_RATE_LIMIT_INFO.h"

namespace {
const int kClassRecordSize = 35;
}

int CSRV_RATE_LIMIT_INFO::Unpack(const unsigned char* buffer, int length)
{
    m_classes.clear();
    int offset = CSNACPacket::Unpack(buffer, length);
    if (!offset || !Is(0x01, 0x07))
        return 0;
    CByteReader body = BodyReader(buffer, length, offset);
    int count = body.U16();
    CByteReader classes = body.Sub(count * kClassRecordSize);
    if (body.Failed())
        return 0;
    // The group records follow the class records.
    std::vector<RateClassInfo> parsed;
    for (int i = 0; i < count; ++i) {
        RateClassInfo info;
        info.classId = classes.U16();
        info.windowSize = classes.U32();
        info.clearLevel = classes.U32();
        info.alertLevel = classes.U32();
        info.limitLevel = classes.U32();
        info.disconnectLevel = classes.U32();
        info.currentLevel = classes.U32();
        info.maximumLevel = classes.U32();
        info.lastTime = classes.U32();
        info.currentState = classes.U8();
        info.groupClassId = body.U16();
        int pairs = body.U16();
        for (int p = 0; p < pairs && !body.Failed(); ++p)
            info.pairs.push_back(body.U32());
        if (body.Failed())
            return 0;
        parsed.push_back(info);
    }
    m_classes.swap(parsed);
    return offset + body.Position();
}
