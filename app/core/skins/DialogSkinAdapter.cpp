#include "core/skins/DialogSkinAdapter.h"

#include "core/skins/SkinManagerImpl.h"

namespace Skins {

CDialogSkinAdapter::CDialogSkinAdapter(CSkinManagerImpl& manager, const CJOVString& appDir)
    : m_manager(manager), m_appDir(appDir)
{
}

HBRUSH CDialogSkinAdapter::GetBackgroundBrush()
{
    return m_manager.GetBackgroundBrush(0);
}

HBITMAP CDialogSkinAdapter::CreateBackgroundBitmap(HWND window)
{
    return m_manager.CreateBackgroundBitmap(0, window);
}

COLORREF CDialogSkinAdapter::GetColor(int index)
{
    if (index < 0 || index >= kColourCount)
        return RGB(0, 0, 0);
    return m_manager.GetColors()[index];
}

bool CDialogSkinAdapter::GetSkinColors(const CJOVString& skin, COLORREF* colors)
{
    return m_manager.GetSkinColors(skin, colors) != FALSE;
}

void CDialogSkinAdapter::SetSkinColors(const CJOVString& skin, const COLORREF* colors)
{
    m_manager.SetSkinColors(skin, colors);
}

bool CDialogSkinAdapter::ReadColorsIni(const CJOVString& skin, COLORREF* colors)
{
    return ReadColoursFile(m_appDir + CJOVString(L"Skins\\") + skin + CJOVString(L"\\icolors.ini"), colors) != FALSE;
}

unsigned int CDialogSkinAdapter::AddImage(const JOV_GUID& owner, const CJOVString& file)
{
    const int id = m_manager.AddImage(owner, file);
    return id < 0 ? 0 : static_cast<unsigned int>(id);
}

void CDialogSkinAdapter::ReleaseImage(unsigned int imageId)
{
    m_manager.ReleaseImage(imageId);
}

} // namespace Skins
