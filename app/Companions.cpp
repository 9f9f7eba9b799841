#include "app/Companions.h"

// The companion windows arrive with their own subsystems; until they stand these do nothing.

void HideSwingometer() {}
void ShowSwingometer() {}
void RefreshForceFieldCanvas() {}
void ShowForceField() {}
void ShowGraph() {}
