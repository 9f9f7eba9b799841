#include "app/Companions.h"

// The companion windows arrive with their own subsystems; until they stand these do nothing.

void CloseForceField() {}
void RefreshForceFieldCanvas() {}
void ShowForceField() {}
void ShowGraph() {}
