#include "PanelInfo.h"

// Exported by the declaration in the header.
template class CJOVArray<CPanelInfo>;
