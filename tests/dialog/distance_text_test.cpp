// The dialog's texts without a window: candidate names, fixed fields, result messages.
#include "distance_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include "sjis.h"

namespace meklan_dialog {
namespace {


TEST(DistinctNames, KeepsFirstAppearanceOrderAndDropsRepeats) {
  const std::string list = Sjis("石狩$石狩深川$石狩$石狩$厚岸$");
  const std::vector<std::string> expected = {Sjis("石狩"), Sjis("石狩深川"), Sjis("厚岸")};
  EXPECT_EQ(DistinctNames(list), expected);
  EXPECT_TRUE(DistinctNames("").empty());
  EXPECT_EQ(DistinctNames("a$$b"), (std::vector<std::string>{"a", "b"}));  // no empty entries
  EXPECT_EQ(DistinctNames("a$b"), (std::vector<std::string>{"a", "b"}));   // unterminated tail
}

TEST(Fields, ReadStopAtTheFieldEndAndNeverInsideACharacter) {
  char unterminated[4] = {'0', '1', '6', '6'};
  EXPECT_EQ(FieldText(unterminated), "0166");
  char split[4] = {'a', 'b', '\x88', '\xae'};
  EXPECT_EQ(FieldText(split, 3), "ab");  // a lead byte without its trail byte is dropped
}

TEST(Fields, StoreCutsOnACharacterBoundary) {
  char field[32];
  std::memset(field, 'x', sizeof field);
  const std::string text = "0" + Sjis("あいうえおかきくけこさしすせそたちつてと");  // 41 bytes
  StoreField(field, text);
  EXPECT_EQ(std::strlen(field), 31u);
  EXPECT_EQ(std::string(field), text.substr(0, 31));

  const std::string even = "01" + Sjis("あいうえおかきくけこさしすせそ");  // 32 bytes
  StoreField(field, even);
  EXPECT_EQ(std::strlen(field), 30u);  // the 16th character would need bytes 30 and 31
}

MKDISTANCE Record(const char* from, const char* fromCode, const char* to, const char* toCode,
                  int kind, int distance, int charge) {
  MKDISTANCE rec;
  std::memset(&rec, 0, sizeof rec);
  StoreField(rec.fromName, Sjis(from));
  StoreField(rec.fromAreaCode, fromCode);
  StoreField(rec.toName, Sjis(to));
  StoreField(rec.toAreaCode, toCode);
  rec.kind = kind;
  rec.distance = distance;
  rec.chargeDistance = charge;
  return rec;
}

TEST(DescribeDistance, MessageAndResultFollowTheKind) {
  const DistanceOutcome same = DescribeDistance(Record("旭川", "0166", "旭川", "0166", 0, 0, 0));
  EXPECT_EQ(same.message, "旭川(0166) から 旭川(0166) までは 同一区域内です");
  EXPECT_EQ(same.result, 0);

  // An ordinary pair returns the distance even where Okinawa's charging distance differs.
  const DistanceOutcome far = DescribeDistance(Record("那覇", "098", "東京", "03", 0, 1599, 987));
  EXPECT_EQ(far.message, "那覇(098) から 東京(03) までは 1599kmです");
  EXPECT_EQ(far.result, 1599);

  for (int kind : {1, 2}) {
    const DistanceOutcome near = DescribeDistance(Record("千歳", "0123", "苫小牧", "0144", kind, 20, 1));
    EXPECT_EQ(near.message, "千歳(0123) から 苫小牧(0144) までは 隣接区域内です ※エリアプラス適用可");
    EXPECT_EQ(near.result, 1);
  }

  const DistanceOutcome island = DescribeDistance(Record("江差", "01395", "奥尻", "01397", 4, 60, 1));
  EXPECT_EQ(island.message,
            "江差(01395) から 奥尻(01397) までは 60kmです ※離島特例対象 (ISDNデジタルモードは60km)");
  EXPECT_EQ(island.result, 1);
}

}  // namespace
}  // namespace meklan_dialog
