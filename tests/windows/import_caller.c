/* A C caller that links meklan.dll through its import library, as a program built against
 * meklan.h does: proves the import library resolves the __stdcall symbols (decorated on
 * 32-bit x86) to the DLL's plain export names. Prints the version and a lookup. */
#include <stdio.h>

#include "meklan.h"

int main(void) {
  char version[MEKLAN_VERSION_SIZE];
  char codes[MEKLAN_AREACODE_SIZE] = "";
  MEKLAN_GetVersion(version);
  if (MEKLAN_GetAreaCode("0166", codes, -1) != 1) return 1;
  printf("%s %d %s\n", version, MEKLAN_GetVersionX(), codes);
  return 0;
}
