// Placeholder until the distance dialog is built.
#include "meklan.h"

extern "C" int MEKLAN_GetDistanceWithDialog(void*, MKDISTANCE*, int) { return -1; }
