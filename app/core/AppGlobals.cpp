#include "core/AppGlobals.h"

AppGlobals g_App = {};
