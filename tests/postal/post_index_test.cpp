#include "post_index.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "test_support.h"

namespace tovra::test {
namespace {

struct Place {
  std::string pref, code, city;
};

std::string KenFile(const std::vector<Place>& places, const std::string& eol = "\r\n") {
  std::vector<std::string> lines;
  for (const Place& p : places) lines.push_back(KenLine("01101", p.code.substr(0, 3) + "  ", p.code, p.pref, p.city, "町"));
  return Lines(lines, eol);
}

// Hokkaido, then Aomori whose first city repeats Hokkaido's last one, then Iwate.
// First digits: 0 0 4 | 3 3 | 2 1.
const std::vector<Place> kThreePrefectures = {
    {"北海道", "0600001", "札幌市"}, {"北海道", "0600002", "札幌市"}, {"北海道", "4000001", "境町"},
    {"青森県", "3000001", "境町"},   {"青森県", "3000002", "青森市"}, {"岩手県", "2000001", "盛岡市"},
    {"岩手県", "1000001", "境町"},
};

class IndexFixture : public ::testing::Test {
 protected:
  RecordingView view;
  TempDir dir;
};

TEST_F(IndexFixture, RangesAndRunsAreExactByteOffsetsForCrLfAndLf) {
  for (const std::string eol : {"\r\n", "\n"}) {
    std::string text = KenFile(kThreePrefectures, eol);
    std::string path = dir.Write("ken.csv", text);
    PostIndex index;
    ASSERT_EQ(BuildPostIndexFile(path, false, index, view), BuildResult::kBuilt);
    // at[i]: byte offset of line i
    std::vector<std::int32_t> at{0};
    for (const Place& p : kThreePrefectures) at.push_back(at.back() + static_cast<std::int32_t>(KenFile({p}, eol).size()));
    const std::int32_t total = at.back();
    EXPECT_EQ(index.pref[0].start, 0);
    EXPECT_EQ(index.pref[0].size, at[3] - 1);
    EXPECT_EQ(index.pref[1].start, at[3]);
    EXPECT_EQ(index.pref[1].size, at[5] - at[3] - 1);
    EXPECT_EQ(index.pref[2].start, at[5]);
    EXPECT_EQ(index.pref[2].size, total - at[5]);  // the last range runs to the end
    EXPECT_EQ(index.pref[3].size, -1);
    const std::vector<std::array<std::int32_t, 3>> runs = {
        {'0', 0, at[2] - 1}, {'4', at[2], at[3] - at[2] - 1}, {'3', at[3], at[5] - at[3] - 1},
        {'2', at[5], at[6] - at[5] - 1}, {'1', at[6], total - at[6]}, {-1, 0, 0}};
    for (std::size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ((std::array<std::int32_t, 3>{index.run[i].num, index.run[i].start, index.run[i].size}), runs[i]) << i;
    }
    EXPECT_EQ(RunLengthForDigit(index, '3'), at[5] - at[3] - 1);
    EXPECT_EQ(NthRunForDigit(index, '3', 0), 2);
    EXPECT_EQ(NthRunForDigit(index, '3', 1), -1);

    // A prefecture's range ends exactly where the next begins: the city 境町 at the end of
    // Hokkaido is found, the one opening Aomori is not.
    Settings settings = SettingsFor(path, dir.Path("none.csv"));
    settings.ken_all_index = index;
    SearchContext ctx{view, settings};
    view.ClearRows();
    view.prefecture = Sjis("北海道");
    EXPECT_EQ(ScanKenAll(ctx, Sjis("境町"), ScanMode::kCity, WordMatch::kExact, view.prefecture).rows, 1) << "eol size " << eol.size();
    EXPECT_EQ(view.Column(kColPrefecture), std::vector<std::string>{Sjis("北海道")});
    view.ClearRows();
    view.prefecture = Sjis("青森県");
    EXPECT_EQ(ScanKenAll(ctx, Sjis("境町"), ScanMode::kCity, WordMatch::kExact, view.prefecture).rows, 1);
    EXPECT_EQ(view.Column(kColPostCode), std::vector<std::string>{"300-0001"});
  }
}

TEST_F(IndexFixture, RebuildingGivesTheSameTables) {
  std::string path = dir.Write("ken.csv", KenFile(kThreePrefectures));
  PostIndex first, second;
  ASSERT_EQ(BuildPostIndexFile(path, false, first, view), BuildResult::kBuilt);
  ASSERT_EQ(BuildPostIndexFile(path, false, second, view), BuildResult::kBuilt);
  EXPECT_EQ(0, std::memcmp(&first, &second, sizeof first));
}

TEST_F(IndexFixture, FirstLineNotHokkaidoMeansNoPrefectureIndex) {
  std::vector<Place> places(kThreePrefectures.begin() + 3, kThreePrefectures.end());
  std::string path = dir.Write("ken.csv", KenFile(places));
  Settings settings = SettingsFor(path, dir.Path("none.csv"));
  ASSERT_EQ(BuildPostIndexFile(path, false, settings.ken_all_index, view), BuildResult::kBuilt);
  EXPECT_EQ(settings.ken_all_index.pref[0].start, 0);
  EXPECT_EQ(settings.ken_all_index.pref[0].size, -1);
  EXPECT_FALSE(HasPrefectureIndex(settings.ken_all_index));
  // ... so a city search reads the whole file, whatever prefecture is selected.
  SearchContext ctx{view, settings};
  view.prefecture = Sjis("青森県");
  EXPECT_EQ(ScanKenAll(ctx, Sjis("境町"), ScanMode::kCity, WordMatch::kExact, view.prefecture).rows, 2);
}

TEST_F(IndexFixture, FirstCodeNotZeroLeavesAnEmptyZeroRun) {
  std::string path = dir.Write("ken.csv", KenFile({{"北海道", "1000001", "a"}, {"北海道", "0000001", "b"}}));
  Settings settings = SettingsFor(path, dir.Path("none.csv"));
  PostIndex& index = settings.ken_all_index;
  ASSERT_EQ(BuildPostIndexFile(path, false, index, view), BuildResult::kBuilt);
  EXPECT_EQ(index.run[0].num, '0');
  EXPECT_EQ(index.run[0].size, -1);
  EXPECT_EQ(index.run[1].num, '1');
  EXPECT_EQ(index.run[1].start, 0);
  // The empty run reads nothing; the real run of 0 still finds its line.
  SearchContext ctx{view, settings};
  EXPECT_EQ(SearchPostCode(ctx, "0000001", PostCodeMatch::kExact).rows, 1);
  EXPECT_EQ(SearchPostCode(ctx, "1000001", PostCodeMatch::kExact).rows, 1);
}

TEST_F(IndexFixture, UnquotedFieldsNeverMatchTheQuotedFirstPrefecture) {
  std::string path = dir.Write("ken.csv", "01101,060  ,0600001,k,k,k,北海道,c,t,0\r\n" +
                                              std::string("01101,060  ,0610001,k,k,k,北海道,c,t,0\r\n"));
  // (the prefecture is ASCII-free UTF-8 here; what matters is the missing quotes)
  PostIndex index;
  ASSERT_EQ(BuildPostIndexFile(path, false, index, view), BuildResult::kBuilt);
  EXPECT_EQ(index.pref[0].size, -1);
  // The "first digit" is the code's second digit: 6 then 6, one run besides the empty one.
  EXPECT_EQ(index.run[1].num, '6');
  EXPECT_EQ(index.run[2].num, -1);
}

TEST_F(IndexFixture, TinyFilesAdvanceTheProgressOnEveryLine) {
  std::string path = dir.Write("ken.csv", "a,\"0\",\"01\"\nb\n");  // 15 bytes < 36
  PostIndex index;
  ASSERT_EQ(BuildPostIndexFile(path, false, index, view), BuildResult::kBuilt);
  EXPECT_EQ(view.steps, 2);
  EXPECT_EQ(view.range, std::make_pair(0, 36));
  EXPECT_EQ(view.last_pos, 0);
}

TEST_F(IndexFixture, SixtyFourRunsFitSixtyFiveAreRefused) {
  std::vector<Place> places;
  for (int i = 0; i < 64; ++i) places.push_back({"北海道", (i % 2 ? "1" : "0") + std::string("000001"), "a"});
  std::string path = dir.Write("ken.csv", KenFile(places));
  Settings settings = SettingsFor(path, dir.Path("none.csv"));
  SearchContext ctx{view, settings};
  EXPECT_EQ(BuildPostIndex(ctx, PostFile::kKenAll), SearchStatus::kOk);
  EXPECT_EQ(settings.ken_all_index.run[63].num, '1');
  EXPECT_TRUE(view.messages.empty());

  places.push_back({"北海道", "0000002", "a"});
  dir.Write("ken.csv", KenFile(places));
  bool rebuilt = false;
  EXPECT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll, &rebuilt));
  EXPECT_TRUE(rebuilt);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(Utf8(view.messages[0]), "郵便番号ファイルポインタバッファエラー");
  // Refused: no time recorded (the next start tries again) and no index left behind...
  EXPECT_EQ(settings.ken_all_time, "");
  EXPECT_FALSE(HasRunTable(settings.ken_all_index));
  EXPECT_FALSE(HasPrefectureIndex(settings.ken_all_index));
  // ... so a postal-code search reads the whole file instead of finding nothing.
  EXPECT_EQ(SearchPostCode(ctx, "0000002", PostCodeMatch::kExact).rows, 1);
}

TEST_F(IndexFixture, FortySevenBlocksFitFortyEightAreRefused) {
  std::vector<Place> places;
  for (int i = 0; i < 47; ++i) places.push_back({i % 2 ? "青森県" : "北海道", "0600001", "a"});
  std::string path = dir.Write("ken.csv", KenFile(places));
  PostIndex index;
  EXPECT_EQ(BuildPostIndexFile(path, false, index, view), BuildResult::kBuilt);
  places.push_back({"岩手県", "0600001", "a"});
  dir.Write("ken.csv", KenFile(places));
  EXPECT_EQ(BuildPostIndexFile(path, false, index, view), BuildResult::kOverflow);
  EXPECT_FALSE(HasPrefectureIndex(index));
}

TEST_F(IndexFixture, BlocksOutOfTableOrderGiveNoPrefectureIndex) {
  // Hokkaido, then Tokyo: entry 1 would be taken for Aomori's stretch.
  std::vector<Place> places = {kThreePrefectures[0], {"東京都", "1000001", "千代田区"}};
  std::string path = dir.Write("ken.csv", KenFile(places));
  Settings settings = SettingsFor(path, dir.Path("none.csv"));
  ASSERT_EQ(BuildPostIndexFile(path, false, settings.ken_all_index, view), BuildResult::kBuilt);
  EXPECT_FALSE(HasPrefectureIndex(settings.ken_all_index));
  EXPECT_TRUE(HasRunTable(settings.ken_all_index));
  SearchContext ctx{view, settings};
  view.prefecture = Sjis("東京都");
  EXPECT_EQ(ScanKenAll(ctx, Sjis("東京都"), ScanMode::kCityList).rows, 1);
  EXPECT_EQ(view.cities, std::vector<std::string>{Sjis("千代田区")});
}

TEST_F(IndexFixture, LeadingCommaStopsTheBuildWithoutMessage) {
  std::string path = dir.Write("ken.csv", KenFile({kThreePrefectures[0]}) + ",x\r\n" + KenFile({kThreePrefectures[3]}));
  Settings settings = SettingsFor(path, dir.Path("none.csv"));
  SearchContext ctx{view, settings};
  EXPECT_NE(BuildPostIndex(ctx, PostFile::kKenAll), SearchStatus::kOk);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_FALSE(HasRunTable(settings.ken_all_index));
}

TEST_F(IndexFixture, CheckBuildsOnlyWhenTheTimeChanged) {
  std::string path = dir.Write("ken.csv", KenFile(kThreePrefectures));
  Settings settings = SettingsFor(path, dir.Path("jig.csv"));
  SearchContext ctx{view, settings};
  bool rebuilt = false;
  EXPECT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll, &rebuilt));
  EXPECT_TRUE(rebuilt);
  EXPECT_EQ(settings.ken_all_time.size(), 24u);  // "Wed Dec  9 09:28:02 2026"
  EXPECT_EQ(view.notices_shown, 1);
  EXPECT_EQ(view.notices_hidden, 1);
  EXPECT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll, &rebuilt));
  EXPECT_FALSE(rebuilt);
  EXPECT_EQ(view.notices_shown, 1);

  // A missing file: nothing happens, nothing is reported, the index stays.
  const PostIndex before = settings.jigyosyo_index;
  EXPECT_FALSE(CheckPostIndex(ctx, PostFile::kJigyosyo, &rebuilt));
  EXPECT_FALSE(rebuilt);
  EXPECT_EQ(0, std::memcmp(&before, &settings.jigyosyo_index, sizeof before));
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(IndexFixture, AFileReplacedByACopyWithTheSameSizeAndTimeIsIndexedAgain) {
  const std::string path = dir.Write("ken.csv", KenFile(kThreePrefectures));
  Settings settings = SettingsFor(path, dir.Path("jig.csv"));
  SearchContext ctx{view, settings};
  bool rebuilt = false;
  ASSERT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll, &rebuilt));
  // What `cp -p` or `rsync -t` leave: other bytes of the same length, the old time, renamed in.
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  std::string other = KenFile(kThreePrefectures);
  std::reverse(other.begin(), other.end());
  const std::string copy = dir.Write("copy.csv", other);
  const timespec times[2] = {st.st_atim, st.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
  ASSERT_EQ(std::rename(copy.c_str(), path.c_str()), 0);
  ASSERT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll, &rebuilt));
  EXPECT_TRUE(rebuilt);
}

// Offsets that do not describe the file (another file's, or a hand-edited settings file's) are
// not trusted: the searches read the whole file and find what it holds.
TEST_F(IndexFixture, StaleOffsetsBeyondTheFileNeverCrashASearch) {
  std::string path = dir.Write("ken.csv", KenFile(kThreePrefectures));
  Settings settings = SettingsFor(path, dir.Path("none.csv"));
  PostIndex& index = settings.ken_all_index;
  index.pref[0] = {1 << 30, 1000};
  index.pref[1] = {-50, 1 << 30};
  index.run[0] = {'0', 1 << 30, 1 << 30};
  index.run[1] = {'0', 17, 2000000000};  // inside a line, running past the end
  SearchContext ctx{view, settings};
  EXPECT_EQ(SearchPostCode(ctx, "0600001", PostCodeMatch::kExact).rows, 1);
  EXPECT_EQ(SearchPostCode(ctx, "0600002", PostCodeMatch::kExact).rows, 1);
  view.prefecture = Sjis("北海道");
  EXPECT_EQ(ScanKenAll(ctx, Sjis("札幌市"), ScanMode::kCity, WordMatch::kExact, view.prefecture).rows, 2);
  view.prefecture = Sjis("青森県");
  EXPECT_EQ(ScanKenAll(ctx, Sjis("札幌市"), ScanMode::kCity, WordMatch::kExact, view.prefecture).rows, 2);  // read whole, as without an index
}

TEST(PrefectureTable, FortySevenNamesInJisOrder) {
  EXPECT_EQ(PrefectureIndex(Sjis("北海道")), 0);
  EXPECT_EQ(PrefectureIndex(Sjis("東京都")), 12);
  EXPECT_EQ(PrefectureIndex(Sjis("沖縄県")), 46);
  EXPECT_EQ(PrefectureIndex(Sjis("北海")), -1);
  EXPECT_EQ(PrefectureIndex(""), -1);
}

}  // namespace
}  // namespace tovra::test
