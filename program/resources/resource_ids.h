// Resource and control ids of the desktop program: dialogs, menu, icon, controls, commands.
// Tests find every control by these numbers (objectName = decimal id).
#pragma once

namespace tovra::res {

// Resources.
constexpr int kMainDialogId = 101;
constexpr int kIconId = 102;
constexpr int kMainMenuId = 104;
constexpr int kAboutDialogId = 105;
constexpr int kNoticeDialogId = 107;
constexpr int kSettingsDialogId = 108;
constexpr int kSpecialNumbersDialogId = 111;
constexpr int kResolveDialogId = 112;

// Buttons every dialog knows.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// Main dialog 101.
constexpr int kReadingField = 1000;
constexpr int kAddressField = 1001;
constexpr int kResultList = 1002;
constexpr int kModePostCode = 1003;
constexpr int kModeAreaCode = 1004;
constexpr int kModeAddress = 1005;
constexpr int kSearchText = 1006;
constexpr int kAreaCodeField = 1007;
constexpr int kPrefectureList = 1008;
constexpr int kModeBrowse = 1009;
constexpr int kCityList = 1010;
constexpr int kProgressBar = 1012;
constexpr int kAddressExact = 1015;
constexpr int kAddressContains = 1016;
constexpr int kPostCodeExact = 1017;
constexpr int kPostCodePrefix = 1018;
constexpr int kPostCodeContains = 1019;
constexpr int kAreaShowPostal = 1020;
constexpr int kAreaShowDistricts = 1021;
constexpr int kWorkList = 1022;
constexpr int kModeDantai = 1023;
constexpr int kUseBusinessData = 1024;

// About box 105.
constexpr int kVersionText = 1013;
constexpr int kTableDatesText = 1014;  // data dates of both editions of the telephone tables

// Settings dialog 108.
constexpr int kKenAllPath = 1025;
constexpr int kKenAllBrowse = 1026;
constexpr int kJigyosyoPath = 1027;
constexpr int kJigyosyoBrowse = 1028;
constexpr int kHyphenOption = 1029;
constexpr int kEditionOption = 1030;  // checked: the current edition of the telephone tables

// Special-number list 111.
constexpr int kSpecialNumberList = 1042;

// Written-address dialog 112.
constexpr int kResolveInput = 1050;     // addresses, one per line
constexpr int kResolveRun = 1051;
constexpr int kResolveCopy = 1052;
constexpr int kResolveList = 1053;
constexpr int kResolveSummary = 1054;

// Commands of menu 104 and those the main dialog posts to itself.
constexpr int kCmdQuit = 40001;
constexpr int kCmdAbout = 40002;
constexpr int kCmdHelp = 40003;
constexpr int kCmdCheckKenAllIndex = 40004;
constexpr int kCmdSettings = 40005;
constexpr int kCmdSpecialNumbers = 40006;
constexpr int kCmdCheckJigyosyoIndex = 40007;
constexpr int kCmdResolve = 40008;

}  // namespace tovra::res
