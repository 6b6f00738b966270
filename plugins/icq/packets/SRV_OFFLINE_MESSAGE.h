// Meta reply 0x0041: one message stored while the account was offline.
#pragma once

#include "SRV_META_REPLY.h"

class CSRV_OFFLINE_MESSAGE : public CSRV_META_REPLY {
public:
    CSRV_OFFLINE_MESSAGE();
    int Unpack(const unsigned char* buffer, int length) override;

    // The sender's UIN in decimal.
    CJOVString GetSender() const;
    unsigned int GetSenderUIN() const { return m_senderUIN; }
    unsigned short GetYear() const { return m_year; }
    unsigned char GetMonth() const { return m_month; }
    unsigned char GetDay() const { return m_day; }
    unsigned char GetHour() const { return m_hour; }
    unsigned char GetMinute() const { return m_minute; }
    unsigned char GetMessageType() const { return m_messageType; }
    unsigned char GetMessageFlags() const { return m_messageFlags; }
    // Empty when the frame ends inside the text.
    const CJOVString& GetText() const { return m_text; }

private:
    unsigned int m_senderUIN;
    unsigned short m_year;
    unsigned char m_month;
    unsigned char m_day;
    unsigned char m_hour;
    unsigned char m_minute;
    unsigned char m_messageType;
    unsigned char m_messageFlags;
    CJOVString m_text;
};
