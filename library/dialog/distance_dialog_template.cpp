#include "distance_dialog_template.h"

#include <iterator>

namespace meklan_dialog {
namespace {

using ui::ControlKind;

constexpr std::uint32_t kEditStyle = ui::kBorder | ui::kAutoHScroll | ui::kTabStop;
constexpr std::uint32_t kListStyle = ui::kVScroll | ui::kNoIntegralHeight;

// Template (tab) order.
constexpr ui::ControlTemplate kControls[] = {
    {kIdFromEdit, ControlKind::kEdit, "", 25, 21, 55, 12, kEditStyle},
    {kIdToEdit, ControlKind::kEdit, "", 130, 21, 55, 12, kEditStyle},
    {kIdCompute, ControlKind::kDefButton, "距離算出(&S)", 25, 150, 60, 14, ui::kTabStop},
    {kIdCancel, ControlKind::kButton, "&CANCEL", 130, 150, 55, 14, ui::kTabStop},
    {kIdFromList, ControlKind::kComboDropList, "", 25, 41, 55, 100, kListStyle},
    {kIdToList, ControlKind::kComboDropList, "", 130, 41, 55, 105, kListStyle},
    {-1, ControlKind::kGroupBox, "発信地", 15, 5, 75, 55, 0},
    {-1, ControlKind::kGroupBox, "着信地", 120, 5, 75, 55, 0},
    {-1, ControlKind::kStatic,
     "とりあえず市外局番を入れてみてください。\n"
     "(MA名が分かる場合はリストボックスから該当MAを選択してください。)",
     5, 70, 205, 20, 0},
    {-1, ControlKind::kStatic, "※MA名は行政上の都市名とは必ずしも一致しません。", 5, 90, 205, 10, 0},
    {-1, ControlKind::kGroupBox, "市外局番を入れたあとリストボックスに２つ以上MAがある場合", 5, 105,
     205, 35, 0},
    {-1, ControlKind::kStatic, "・市内局番も入れてみてください。", 10, 115, 190, 10, 0},
    {-1, ControlKind::kStatic, "・それでも特定できない場合、MA名リストから選択してください。", 10,
     125, 190, 10, 0},
};

}  // namespace

const ui::DialogTemplate kDistanceDialogTemplate = {
    kDistanceDialogId,
    "MEKLAN",
    "ＭＳ Ｐゴシック",
    9,
    214,
    169,
    /*modalFrame=*/true,
    /*centered=*/true,
    kControls,
    static_cast<int>(std::size(kControls)),
    /*menuId=*/0,
};

}  // namespace meklan_dialog
