// The texts of the library's version resource, kept in the library file itself as an ELF note
// (owner "MEKLAN", type 1), so that they can be read without loading the library:
// `readelf -n libmeklan.so` lists the note and `strings` shows the texts. The descriptor is a
// run of NUL-terminated "Name=value" texts in UTF-8.
#include "meklan.h"
#include "lookup/version_texts.h"

// The assembler copies the bytes of a string as they stand: the texts are UTF-8.
asm(".pushsection .note.meklan.version,\"a\",@note\n"
    ".balign 4\n"
    ".long 2f - 1f\n"
    ".long 4f - 3f\n"
    ".long 1\n"
    "1: .asciz \"MEKLAN\"\n"
    "2: .balign 4\n"
    "3: .asciz \"FileVersion=" MEKLAN_FILE_VERSION_TEXT "\"\n"
    ".asciz \"ProductVersion=" MEKLAN_PRODUCT_VERSION_TEXT "\"\n"
    ".asciz \"Comments=" MEKLAN_COMMENTS_TEXT "\"\n"
    ".asciz \"FileDescription=" MEKLAN_NAME_TEXT "\"\n"
    ".asciz \"InternalName=" MEKLAN_NAME_TEXT "\"\n"
    ".asciz \"ProductName=" MEKLAN_NAME_TEXT "\"\n"
    "4: .balign 4\n"
    ".popsection\n");
