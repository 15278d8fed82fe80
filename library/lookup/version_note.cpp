// The texts of the library's version resource, kept in the library file itself as an ELF note
// (owner "MEKLAN", type 1), so that they can be read without loading the library:
// `readelf -n libmeklan.so` lists the note and `strings` shows the texts. The descriptor is a
// run of NUL-terminated "Name=value" texts in UTF-8.
#include "meklan.h"

#define MEKLAN_NOTE_STR2(x) #x
#define MEKLAN_NOTE_STR(x) MEKLAN_NOTE_STR2(x)

// "MA間距離計算" as UTF-8 octal escapes (the assembler takes bytes, not characters).
#define MEKLAN_NOTE_COMMENTS "MA\\351\\226\\223\\350\\267\\235\\351\\233\\242\\350\\250\\210\\347\\256\\227"

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
