// Placeholder exports so that the library links while its parts are being built.
#include <cstring>

#include "meklan.h"

extern "C" {
char* MEKLAN_GetVersion(char* out) { std::strcpy(out, MEKLAN_VERSION_TEXT); return out; }
int MEKLAN_GetVersionX(void) { return MEKLAN_VERSION_NUMBER; }
int MEKLAN_GetVersionCompati(void) { return MEKLAN_VERSION_COMPATI; }
char* MEKLAN_GetDayData(char* out) { std::strcpy(out, MEKLAN_DATA_DATE); return out; }
int MEKLAN_GetNumOfMKMA(void) { return 0; }
const MKMA* MEKLAN_GetMKMA(void) { return nullptr; }
int MEKLAN_GetNumOfAddress(void) { return 0; }
const MKADDRESS* MEKLAN_GetAddress(void) { return nullptr; }
int MEKLAN_GetAddressAreaList(const char*, const char*, int, MKADDRESS** list) { *list = nullptr; return 0; }
void MEKLAN_MemFree(void*) {}
int MEKLAN_GetNumOfNTT(int, int) { return 2; }
int MEKLAN_GetMA(const char*, char* out, int) { out[0] = '\0'; return 1; }
int MEKLAN_GetAreaCode(const char*, char*, int) { return 0; }
}
