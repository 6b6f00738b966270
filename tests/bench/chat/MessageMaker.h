// Deterministic messages for the chat benchmarks: words of mixed lengths, now
// and then a smiley, a link or a line break.
#pragma once

#include <string>

#include "messaging/ChatEntry.h"

class CMessageMaker {
public:
    SMessage Next()
    {
        SMessage message;
        bool mine = Random(3) == 0;
        message.kind = mine ? SMessage::Outgoing : SMessage::Incoming;
        message.subKind = mine ? 23 : 22;
        message.nick = mine ? L"I" : L"Alice";
        message.time = L"(12:34:56)";
        int words = 1 + Random(Random(4) == 0 ? 60 : 12);
        std::wstring text;
        for (int i = 0; i < words; ++i) {
            if (i)
                text += Random(25) == 0 ? L"\n" : L" ";
            int kind = Random(40);
            if (kind == 0)
                text += kCodes[Random(kCodeCount)];
            else if (kind == 1)
                text += L"www.example.org/page" + std::to_wstring(Random(1000));
            else
                text += kWords[Random(kWordCount)];
        }
        message.text = text.c_str();
        return message;
    }

    static constexpr const wchar_t* kCodes[] = {L":)", L";)", L":D", L":(", L"8)", L":P"};
    static constexpr int kCodeCount = 6;

private:
    int Random(int n)
    {
        m_state = m_state * 1103515245u + 12345u;
        return static_cast<int>((m_state >> 16) % static_cast<unsigned>(n));
    }

    static constexpr const wchar_t* kWords[] = {L"a", L"the", L"message", L"hello", L"tomorrow", L"ok",
                                                L"internationalisation", L"we", L"will", L"see", L"photo",
                                                L"yes", L"because", L"meeting", L"x", L"conversation"};
    static constexpr int kWordCount = 16;
    unsigned m_state = 12345u;
};
