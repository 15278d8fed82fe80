// Dialog 135, the library's distance dialog, and the ids its procedure works with.
#pragma once

#include "dialog_template.h"

namespace meklan_dialog {

constexpr int kDistanceDialogId = 135;

constexpr int kIdOk = 1;          // reached only through the command posted after a success
constexpr int kIdCancel = 2;
constexpr int kIdFromEdit = 1036;  // calling end
constexpr int kIdToEdit = 1037;    // called end
constexpr int kIdCompute = 1038;
constexpr int kIdFromList = 1072;
constexpr int kIdToList = 1073;

// An edit and its candidate list are this far apart in id, both ways.
constexpr int kListIdOffset = 36;
static_assert(kIdFromList == kIdFromEdit + kListIdOffset);
static_assert(kIdToList == kIdToEdit + kListIdOffset);

extern const ui::DialogTemplate kDistanceDialogTemplate;

}  // namespace meklan_dialog
