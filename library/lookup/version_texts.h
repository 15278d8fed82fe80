/*
 * The texts of the library's version resource, in one place for both library files: the ELF
 * note of libmeklan.so (version_note.cpp) and the VERSIONINFO of meklan.dll
 * (windows/meklan.rc). Preprocessor definitions only, which the resource compiler reads too;
 * UTF-8 like every source. Include after meklan.h.
 */
#ifndef MEKLAN_VERSION_TEXTS_H
#define MEKLAN_VERSION_TEXTS_H

#define MEKLAN_TEXT_STR2(x) #x
#define MEKLAN_TEXT_STR(x) MEKLAN_TEXT_STR2(x)

#define MEKLAN_FILE_VERSION_TEXT MEKLAN_TEXT_STR(MEKLAN_VERSION_NUMBER) /* "3190" */
#define MEKLAN_PRODUCT_VERSION_TEXT \
  MEKLAN_TEXT_STR(MEKLAN_VERSION_MAJOR.MEKLAN_VERSION_MINOR) /* "3.19" */
#define MEKLAN_COMMENTS_TEXT "MA間距離計算"
/* FileDescription, InternalName and ProductName */
#define MEKLAN_NAME_TEXT "MEKLAN"

#endif /* MEKLAN_VERSION_TEXTS_H */
