// Meta reply 2010: one part of a user's details, named by its subtype.
#pragma once

#include "SRV_META_REPLY.h"

class CSRV_META_USERINFO : public CSRV_META_REPLY {
public:
    CSRV_META_USERINFO() : m_subtype(0), m_failed(false) {}
    // Answers the frame offset of the meta data (where the subtype stands), or
    // 0 for a subtype that is not a details part.
    int Unpack(const unsigned char* buffer, int length) override;
    // 1 unless the reply carried a failure result.
    virtual int IsSuccess() const { return 1; }

    unsigned short GetMetaSubtype() const { return m_subtype; }

protected:
    // For the details parts: the subtype must be `own`, then comes the result
    // byte. Answers 0 when the frame is not that part; else the frame length,
    // with `fields` over the fields, which are there only when the result is
    // success (m_failed clear).
    int UnpackPart(const unsigned char* buffer, int length, unsigned short own, CByteReader& fields);

    unsigned short m_subtype;
    bool m_failed;
};
