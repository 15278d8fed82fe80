// The dialog templates and the menu of the desktop program, as the resource script had them.
#include <span>

#include "resources.h"

namespace tovra::res {
namespace {

using ui::ControlKind;
using ui::kAutoHScroll;
using ui::kBorder;
using ui::kCenterText;
using ui::kDisabled;
using ui::kGroupStart;
using ui::kHidden;
using ui::kMultiLine;
using ui::kNoIntegralHeight;
using ui::kRightText;
using ui::kSorted;
using ui::kTabStop;
using ui::kVScroll;

constexpr char kDialogFont[] = "ＭＳ Ｐゴシック";
constexpr int kStatic = -1;

constexpr ui::ControlTemplate kMainControls[] = {
    {kModeBrowse, ControlKind::kRadio, "選択方式", 5, 5, 45, 10, kGroupStart | kTabStop},
    {kModePostCode, ControlKind::kRadio, "郵便番号から", 5, 20, 50, 10, 0},
    {kModeAreaCode, ControlKind::kRadio, "局番から", 5, 35, 60, 10, 0},
    {kModeAddress, ControlKind::kRadio, "住所(事業者)から", 5, 50, 65, 10, 0},
    {kModeDantai, ControlKind::kRadio, "団体コードから", 5, 65, 60, 10, 0},
    {kStatic, ControlKind::kStatic, "都道府県", 65, 6, 30, 10, kGroupStart | kRightText},
    {kPrefectureList, ControlKind::kComboDropList, "", 100, 5, 50, 245, kTabStop | kVScroll},
    {kStatic, ControlKind::kStatic, "市区町村", 155, 6, 30, 10, kRightText},
    {kCityList, ControlKind::kComboDropList, "", 190, 5, 80, 250, kTabStop | kVScroll},
    {kPostCodeExact, ControlKind::kRadio, "完全一致(5桁番号可)", 73, 20, 80, 10,
     kGroupStart | kTabStop | kDisabled},
    {kPostCodePrefix, ControlKind::kRadio, "先頭一致", 158, 20, 43, 10, kDisabled},
    {kPostCodeContains, ControlKind::kRadio, "どこかに含む", 203, 20, 55, 10, kDisabled},
    {kAreaShowPostal, ControlKind::kRadio, "郵便番号表示", 73, 35, 60, 10,
     kGroupStart | kTabStop | kDisabled},
    {kAreaShowDistricts, ControlKind::kRadio, "該当地区表示", 143, 35, 60, 10, kDisabled},
    {kAddressExact, ControlKind::kRadio, "完全一致(例: 札幌市中央区,ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ)", 73, 50, 145, 10,
     kGroupStart | kTabStop | kDisabled},
    {kAddressContains, ControlKind::kRadio, "どこかに含む(例: 札幌)", 223, 50, 83, 10, kDisabled},
    {kSearchText, ControlKind::kEdit, "", 15, 81, 100, 12,
     kGroupStart | kTabStop | kBorder | kAutoHScroll},
    {kIdOk, ControlKind::kDefButton, "検索", 120, 81, 50, 14, kTabStop | kDisabled},
    {kProgressBar, ControlKind::kProgress, "", 260, 85, 50, 10, kBorder},
    {kStatic, ControlKind::kGroupBox, "", 5, 95, 305, 55, 0},
    {kStatic, ControlKind::kStatic, "読み仮名", 10, 107, 35, 10, 0},
    {kReadingField, ControlKind::kEdit, "", 50, 105, 255, 12, kTabStop | kBorder | kAutoHScroll},
    {kStatic, ControlKind::kStatic, "住所", 10, 123, 35, 10, 0},
    {kAddressField, ControlKind::kEdit, "", 50, 121, 255, 12, kTabStop | kBorder | kAutoHScroll},
    {kStatic, ControlKind::kStatic, "局番", 10, 137, 35, 10, kDisabled},
    {kAreaCodeField, ControlKind::kEdit, "", 50, 135, 255, 12,
     kTabStop | kBorder | kAutoHScroll | kDisabled},
    {kResultList, ControlKind::kListView, "", 5, 155, 305, 150, kTabStop | kBorder},
    {kWorkList, ControlKind::kComboDropDown, "", 270, 35, 25, 12, kSorted | kHidden},
    {kUseBusinessData, ControlKind::kCheckBox, "事業所データ使用", 185, 85, 70, 10,
     kTabStop | kDisabled},
};

constexpr ui::ControlTemplate kAboutControls[] = {
    {kStatic, ControlKind::kIcon, "102", 85, 5, 20, 20, 0},
    {kStatic, ControlKind::kStatic, "Version", 40, 40, 40, 10, kRightText},
    {kVersionText, ControlKind::kStatic, "x.xx(yyyy/mm/dd)", 85, 40, 65, 10, 0},
    {kStatic, ControlKind::kStatic, "電話の表", 20, 60, 60, 10, kRightText},
    {kTableDatesText, ControlKind::kStatic, "", 85, 60, 100, 20, 0},
    {kIdCancel, ControlKind::kDefButton, "OK", 70, 110, 50, 14, kTabStop},
};

constexpr ui::ControlTemplate kNoticeControls[] = {
    {kStatic, ControlKind::kIcon, "102", 94, 5, 20, 20, 0},
    {kStatic, ControlKind::kStatic, "郵便番号高速検索用データを作成中です...", 19, 35, 170, 10,
     kCenterText},
    {kStatic, ControlKind::kStatic, "※この作業は、郵便番号データを入れ替えた時のみに発生します。", 5,
     60, 200, 10, 0},
};

constexpr ui::ControlTemplate kSettingsControls[] = {
    {kIdOk, ControlKind::kDefButton, "&OK", 50, 156, 65, 14, kTabStop},
    {kIdCancel, ControlKind::kButton, "キャンセル(&C)", 130, 156, 65, 14, kTabStop},
    {kStatic, ControlKind::kStatic, "全国郵便番号データ(&A)", 10, 15, 85, 10, 0},
    {kKenAllPath, ControlKind::kEdit, "", 15, 25, 190, 12, kTabStop | kBorder | kAutoHScroll},
    {kKenAllBrowse, ControlKind::kButton, "参照", 210, 24, 20, 14, kTabStop},
    {kStatic, ControlKind::kStatic, "事業所郵便番号データ(&J)", 10, 45, 85, 10, 0},
    {kJigyosyoPath, ControlKind::kEdit, "", 15, 55, 190, 12, kTabStop | kBorder | kAutoHScroll},
    {kJigyosyoBrowse, ControlKind::kButton, "参照", 210, 54, 20, 14, kTabStop},
    {kStatic, ControlKind::kStatic, "※データファイル変更後は再起動が必要です。", 10, 75, 220, 10, 0},
    {kHyphenOption, ControlKind::kCheckBox,
     "検索後の郵便番号を XXX-YYYY 形式（ハイフン付加）にする", 10, 110, 215, 10, kTabStop},
    {kEditionOption, ControlKind::kCheckBox,
     "局番・MA を現行の表で引く（外すと 2003/12/01 の表）", 10, 124, 215, 10, kTabStop},
    {kStatic, ControlKind::kGroupBox, "データファイル設定", 5, 5, 235, 85, 0},
    {kStatic, ControlKind::kGroupBox, "その他設定", 5, 95, 235, 47, 0},
};

constexpr ui::ControlTemplate kSpecialNumbersControls[] = {
    {kSpecialNumberList, ControlKind::kListBox, "", 5, 1, 180, 244,
     kTabStop | kSorted | kVScroll | kBorder | kNoIntegralHeight},
    {kIdCancel, ControlKind::kButton, "戻る(&R)", 135, 250, 50, 14, kTabStop},
};

constexpr ui::ControlTemplate kResolveControls[] = {
    {kStatic, ControlKind::kStatic, "住所（1行に1件、貼り付け可）:", 5, 4, 200, 9, 0},
    {kResolveInput, ControlKind::kEdit, "", 5, 14, 330, 62, kTabStop | kBorder | kMultiLine | kVScroll},
    {kResolveRun, ControlKind::kDefButton, "解決(&S)", 340, 14, 50, 14, kTabStop},
    {kResolveCopy, ControlKind::kButton, "コピー(&C)", 340, 32, 50, 14, kTabStop},
    {kIdCancel, ControlKind::kButton, "戻る(&R)", 340, 62, 50, 14, kTabStop},
    {kResolveList, ControlKind::kListView, "", 5, 80, 385, 170, kTabStop | kBorder},
    {kResolveSummary, ControlKind::kStatic, "", 5, 254, 385, 9, 0},
};

constexpr ui::MenuItemTemplate kMainMenu[] = {
    {-1, "ファイル(&F)"},
    {kCmdQuit, "終了(&E)"},
    {ui::kMenuEnd, nullptr},
    {-1, "ツール(&T)"},
    {kCmdSpecialNumbers, "電話番号3桁特番一覧"},
    {kCmdResolve, "住所から郵便番号・局番(&A)..."},
    {0, nullptr},
    {kCmdSettings, "動作設定"},
    {ui::kMenuEnd, nullptr},
    {-1, "ヘルプ(&H)"},
    {kCmdHelp, "ヘルプ(&H)"},
    {0, nullptr},
    {kCmdAbout, "バージョン情報(&V)"},
    {ui::kMenuEnd, nullptr},
};

constexpr const char* kSpecialNumberEntries[] = {
    "100　オペレータ通話",
    "104　電話番号案内",
    "105　旧市外電話番号案内（現在は廃止）",
    "106　コレクトコール・クレジットコール（オペレータ扱い）",
    "107　新幹線への通話",
    "108　コレクトコール（自動）",
    "110　警察署",
    "112　共同電話相互通話",
    "113　電話の故障",
    "114　電話の話し中調べ",
    "115　電報",
    "116　ＮＴＴ窓口",
    "117　時報",
    "118　海上保安庁",
    "119　消防署",
    "121　クレジットコール（自動）",
    "122　マイラインプラス解除",
    "125　電話会議",
    "141　留守番電話サービス",
    "142　自動着信転送サービス",
    "161　ファクシミリ通信",
    "162　ファクシミリ通信付加サービス",
    "163　第二種パケット通信",
    "164　第二種パケット通信",
    "166　ビデオテックス通信",
    "169　第二種パケット通信",
    "171　災害時伝言ダイヤル",
    "177　天気予報",
    "184　発信者番号非通知",
    "186　発信者番号通知",
};

// Every dialog of the program uses the dialog font at 9 points and opens centred.
constexpr ui::DialogTemplate Dialog(int id, const char* caption, int w, int h, bool modalFrame,
                                    std::span<const ui::ControlTemplate> controls, int menuId = 0) {
  return {id, caption, kDialogFont, 9, w, h, modalFrame, true,
          controls.data(), static_cast<int>(controls.size()), menuId};
}

}  // namespace

const ui::DialogTemplate kMainDialog =
    Dialog(kMainDialogId, "TOVRA", 313, 308, false, kMainControls, kMainMenuId);
const ui::DialogTemplate kAboutDialog = Dialog(kAboutDialogId, "バージョン情報", 189, 129, true, kAboutControls);
const ui::DialogTemplate kNoticeDialog = Dialog(kNoticeDialogId, "", 209, 72, true, kNoticeControls);
const ui::DialogTemplate kSettingsDialog = Dialog(kSettingsDialogId, "動作設定", 243, 175, true, kSettingsControls);
const ui::DialogTemplate kSpecialNumbersDialog =
    Dialog(kSpecialNumbersDialogId, "3桁特番一覧", 190, 269, true, kSpecialNumbersControls);
const ui::DialogTemplate kResolveDialog =
    Dialog(kResolveDialogId, "住所から郵便番号・局番", 395, 268, true, kResolveControls);

std::span<const ui::MenuItemTemplate> MainMenu() { return kMainMenu; }

const ui::DialogTemplate* FindDialogTemplate(int id) {
  for (const ui::DialogTemplate* t :
       {&kMainDialog, &kAboutDialog, &kNoticeDialog, &kSettingsDialog, &kSpecialNumbersDialog, &kResolveDialog}) {
    if (t->id == id) return t;
  }
  return nullptr;
}

std::span<const char* const> SpecialNumbers() { return kSpecialNumberEntries; }

}  // namespace tovra::res
