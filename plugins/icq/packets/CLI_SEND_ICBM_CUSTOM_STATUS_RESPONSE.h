// SNAC 0x04/0x0B: answers a contact's x-status request with the own x-status
// number, title and description.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"

class CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE : public CSNACPacket {
public:
    CCLI_SEND_ICBM_CUSTOM_STATUS_RESPONSE(unsigned short sequence, unsigned int requestId, unsigned int cookie1,
                                          unsigned int cookie2, const CJOVString& ownUIN,
                                          const CJOVString& requesterUIN, int xStatusIndex, const CJOVString& title,
                                          const CJOVString& description, unsigned short messageSequence);
    int Pack(unsigned char* buffer, int size) override;
    int Unpack(const unsigned char*, int) override { return NotSupported(); }

    // The answer text, as it goes on the wire in UTF-8.
    CJOVString GetAnswerText() const;

private:
    unsigned int m_cookie1;
    unsigned int m_cookie2;
    CJOVString m_ownUIN;
    CJOVString m_requesterUIN;
    int m_xStatusIndex;
    CJOVString m_title;
    CJOVString m_description;
    unsigned short m_messageSequence;
};
