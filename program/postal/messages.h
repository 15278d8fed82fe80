// Texts the engine and tovra-search show the user, CP932 bytes. They are written in UTF-8 in
// messages.tsv beside this header; meklan-gen makes the CP932 constants at build time.
#pragma once

#include "messages_data.h"
