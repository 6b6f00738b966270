// A picture the skin manager draws: a skin image or a plug-in's icon.
#pragma once

#include "JOVDrawContext.h"

class CJOVImage {
public:
    virtual ~CJOVImage() {}
    // Blended and scaled into the rectangle with alpha (constantAlpha's low
    // byte is the opacity), tiled from the context's brush origin without.
    virtual void Draw(CJOVDrawContext* dc, int left, int top, int right, int bottom, bool alpha,
                      unsigned int constantAlpha) = 0;
};
