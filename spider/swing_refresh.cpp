#include "spider/SpiderDrawing.h"

// Refreshes the swing-o-meter window.
void RefreshSwingometer(bool) {}
