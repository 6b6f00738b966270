#include "EncodedText.h"

#include <cstring>

CEncodedText::CEncodedText(const CJOVString& text, int codePage)
    : m_bytes(text.GetBuffer(codePage)), m_length(0)
{
    if (m_bytes)
        m_length = static_cast<int>(std::strlen(reinterpret_cast<const char*>(m_bytes)));
}

CEncodedText::~CEncodedText()
{
    CJOVString::FreeBuffer(m_bytes);
}
