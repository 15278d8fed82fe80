// Placeholder until the distance and area-plus exports are built.
#include "meklan.h"

extern "C" {
int MEKLAN_GetDistance(MKDISTANCE*) { return 0; }
int MEKLAN_GetAreaPlus(const char*, char*) { return 0; }
}
