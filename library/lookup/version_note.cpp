// The texts of the library's version resource, kept in the library file itself as an ELF note
// (owner "MEKLAN", type 1), so that they can be read without loading the library:
// `readelf -n libmeklan.so` lists the note and `strings` shows the texts. The descriptor is a
// run of NUL-terminated "Name=value" texts in UTF-8.
#include "meklan.h"

#define MEKLAN_NOTE_STR2(x) #x
#define MEKLAN_NOTE_STR(x) MEKLAN_NOTE_STR2(x)

// The assembler copies the bytes of a string as they stand: this source is UTF-8.
#define MEKLAN_NOTE_COMMENTS "MA間距離計算"

asm(".pushsection .note.meklan.version,\"a\",@note\n"
    ".balign 4\n"
    ".long 2f - 1f\n"
    ".long 4f - 3f\n"
    ".long 1\n"
    "1: .asciz \"MEKLAN\"\n"
    "2: .balign 4\n"
    "3: .asciz \"FileVersion=" MEKLAN_NOTE_STR(MEKLAN_VERSION_NUMBER) "\"\n"
    ".asciz \"ProductVersion=" MEKLAN_NOTE_STR(MEKLAN_VERSION_MAJOR) "." MEKLAN_NOTE_STR(
        MEKLAN_VERSION_MINOR) "\"\n"
    ".asciz \"Comments=" MEKLAN_NOTE_COMMENTS "\"\n"
    ".asciz \"FileDescription=MEKLAN\"\n"
    ".asciz \"InternalName=MEKLAN\"\n"
    ".asciz \"ProductName=MEKLAN\"\n"
    "4: .balign 4\n"
    ".popsection\n");
