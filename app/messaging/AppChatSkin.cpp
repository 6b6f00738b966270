#include "messaging/AppChatSkin.h"

#include "core/skins/SkinManagerImpl.h"
#include "core/skins/SmiliesPack.h"

CAppChatSkin::CAppChatSkin(Skins::CSkinManagerImpl* skins) : m_skins(skins), m_pack(nullptr) {}

COLORREF CAppChatSkin::GetColor(int index)
{
    return m_skins && index >= 0 && index < Skins::kColourCount ? m_skins->GetColors()[index] : 0;
}

BOOL CAppChatSkin::DrawImage(unsigned id, CJOVDrawContext* context, int left, int top, int right, int bottom,
                             bool alpha, unsigned constantAlpha)
{
    return m_skins ? m_skins->DrawImage(id, context, left, top, right, bottom, alpha, constantAlpha) : FALSE;
}

HBRUSH CAppChatSkin::GetBackgroundBrush(int kind)
{
    return m_skins ? m_skins->GetBackgroundBrush(kind) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

bool CAppChatSkin::GetTextSmilies() { return m_skins && m_skins->GetSkinChoice().textSmilies; }

int CAppChatSkin::GetSmiliesNumber() { return m_skins ? m_skins->GetSkinChoice().smiliesNumber : 0; }

CChatSmilies* CAppChatSkin::GetSmilies()
{
    m_pack = m_skins ? m_skins->GetSmilies() : nullptr;
    return this;
}

CSmaily* CAppChatSkin::Smiley(int index)
{
    CSmiliesPack* pack = m_pack;
    return pack ? (*pack)[index] : nullptr;
}

int CAppChatSkin::GetCount()
{
    CSmiliesPack* pack = m_pack;
    return pack ? pack->Count() : 0;
}

int CAppChatSkin::GetCodeCount(int smiley)
{
    CSmaily* s = Smiley(smiley);
    return s ? s->GetCodeCount() : 0;
}

CJOVString CAppChatSkin::GetCode(int smiley, int code)
{
    CSmaily* s = Smiley(smiley);
    return s ? s->GetCode(code) : CJOVString();
}

int CAppChatSkin::GetWidth(int smiley)
{
    CSmaily* s = Smiley(smiley);
    return s ? s->GetWidth() : 0;
}

int CAppChatSkin::GetHeight(int smiley)
{
    CSmaily* s = Smiley(smiley);
    return s ? s->GetHeight() : 0;
}

int CAppChatSkin::GetFrameCount(int smiley)
{
    CSmaily* s = Smiley(smiley);
    return s ? s->GetFrameCount() : 0;
}

HBITMAP CAppChatSkin::GetFrameBitmap(int smiley, int frame)
{
    CSmaily* s = Smiley(smiley);
    return s ? s->GetFrameBitmap(frame) : nullptr;
}

int CAppChatSkin::GetFrameKeyColor(int smiley, int frame)
{
    CSmaily* s = Smiley(smiley);
    return s ? static_cast<int>(s->GetFrameKeyColor(frame)) : -1;  // CLR_INVALID: no transparency
}

int CAppChatSkin::GetFrameDelay(int smiley, int frame)
{
    CSmaily* s = Smiley(smiley);
    return s ? s->GetFrameDelay(frame) : 0;
}
