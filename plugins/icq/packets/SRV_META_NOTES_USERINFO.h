// Meta details reply 0x00E6: the "about" text.
#pragma once

#include "SRV_META_USERINFO.h"

class CSRV_META_NOTES_USERINFO : public CSRV_META_USERINFO {
public:
    int Unpack(const unsigned char* buffer, int length) override;
    int IsSuccess() const override { return m_failed ? 0 : 1; }

    const CJOVString& GetNotes() const { return m_notes; }

private:
    CJOVString m_notes;
};
