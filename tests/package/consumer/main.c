/* A program outside the source tree that uses the installed MEKLAN: built once through
 * pkg-config and once through find_package(meklan). Exits 0 when the library answers. */
#include <meklan.h>
#include <stdio.h>
#include <string.h>

int main(void) {
  char version[MEKLAN_VERSION_SIZE];
  char list[MEKLAN_MALIST_SIZE];
  if (MEKLAN_GetVersionX() != MEKLAN_VERSION_NUMBER) {
    fprintf(stderr, "header and library disagree: %d\n", MEKLAN_GetVersionX());
    return 1;
  }
  list[0] = '\0';
  MEKLAN_GetMA("0166", list, -1);
  if (strlen(list) == 0) {
    fprintf(stderr, "no MA for 0166\n");
    return 1;
  }
  printf("%s %d\n", MEKLAN_GetVersion(version), MEKLAN_GetNumOfMKMA());
  return 0;
}
