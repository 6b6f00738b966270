#include "XStatusesCtrl.h"

#include "SkinManager.h"
#include "PluginModule.h"

CXStatusesCtrl::CXStatusesCtrl(HINSTANCE instance, HWND parent, const CJOVArray<unsigned int>& images,
                               int cellWidth, int cellHeight, int horzGap, int vertGap)
    : CListImageCtrl(instance, parent, kXStatusPictureCount, cellWidth, cellHeight, horzGap, vertGap),
      m_images(images)
{
}

HBRUSH CXStatusesCtrl::GetBkBrush()
{
    if (Skins::CSkinManager* skins = GetPluginSkinManager())
        return skins->GetBackgroundBrush(0);
    return CListImageCtrl::GetBkBrush();
}

void CXStatusesCtrl::RedrawImage(int index, const RECT& cell, CJOVDrawContext* context)
{
    Skins::CSkinManager* skins = GetPluginSkinManager();
    if (!skins || m_images.Count() == 0 || index < 0)
        return;
    unsigned int id = m_images[index < m_images.Count() ? index : m_images.Count() - 1];
    skins->DrawImage(id, context, cell.left, cell.top, cell.right, cell.bottom, true, 255);
}
