// SNAC 0x04/0x07: an incoming message on channel 1, 2 or 4.
#pragma once

#include "JOVString.h"
#include "SNACPacket.h"
#include "TLV.h"

class CSRV_CLIENT_ICBM : public CSNACPacket {
public:
    CSRV_CLIENT_ICBM();
    int Pack(unsigned char*, int) override { return NotSupported(); }
    int Unpack(const unsigned char* buffer, int length) override;

    // The message text by channel; empty for a form the plug-in does not show.
    CJOVString GetText() const;
    // A channel-2 x-status request in the script plug-in form; stores the
    // message sequence as a side effect.
    bool IsXStatusRequest();
    bool IsOffline() const;
    // UNIX time of a stored message, 0 when the message carries none.
    unsigned int GetTime() const;

    unsigned int GetCookie1() const { return m_cookie1; }
    unsigned int GetCookie2() const { return m_cookie2; }
    unsigned short GetChannel() const { return m_icbmChannel; }
    // Lower case without spaces.
    const CJOVString& GetSenderUIN() const { return m_uin; }
    unsigned short GetWarningLevel() const { return m_warningLevel; }
    // The two sequence bytes of a channel-2 message, to copy into the reply.
    unsigned short GetMessageSequence() const { return m_messageSequence; }
    const CTLVCol& GetAllTLVs() const { return m_allTLVs; }
    const CTLVCol& GetMessageTLVs() const { return m_messageTLVs; }

private:
    // Where the message of a channel-2 rendezvous stands in the value V of its
    // TLV 0x2711.
    struct RelayedMessage {
        const unsigned char* data = nullptr;  // V
        int length = 0;                       // size of V
        int typeOffset = 0;                   // M
        int messageLength = 0;                // U
        unsigned char type = 0;
    };
    bool FindRelayedMessage(RelayedMessage& message) const;
    bool HasXtrazHeader(const RelayedMessage& message) const;
    static unsigned short ReadMessageSequence(const RelayedMessage& message);
    CJOVString GetChannel1Text() const;
    CJOVString GetChannel2Text() const;
    CJOVString GetChannel4Text() const;

    unsigned int m_cookie1;
    unsigned int m_cookie2;
    unsigned short m_icbmChannel;
    CJOVString m_uin;
    unsigned short m_warningLevel;
    unsigned short m_messageSequence;
    CTLVCol m_allTLVs;
    CTLVCol m_messageTLVs;
};
