// What each search returns: rows found, or which failure stopped it.
#include <sys/stat.h>

#include <filesystem>
#include <algorithm>
#include <functional>

#include "test_support.h"

namespace tovra::test {
namespace {

const std::string kSapporo = KenLine("01101", "060  ", "0600001", "北海道", "札幌市中央区", "北一条西");
const std::string kNaha = KenLine("47201", "900  ", "9000001", "沖縄県", "那覇市", "旭町");

struct StatusCase {
  const char* name;
  std::function<std::string(TempDir&)> make;  // returns the data file's path
  SearchStatus status;
  int rows;  // of each search below
};

TEST(SearchStatus, EverySearchTellsRowsFromEachFailure) {
  const std::vector<StatusCase> cases = {
      {"good file", [](TempDir& d) { return d.Write("ken.csv", Lines({kSapporo, kNaha})); }, SearchStatus::kOk, 1},
      {"nothing found", [](TempDir& d) { return d.Write("ken.csv", Lines({kNaha})); }, SearchStatus::kOk, 0},
      {"missing file", [](TempDir& d) { return d.Path("gone.csv"); }, SearchStatus::kFileMissing, 0},
      {"directory", [](TempDir& d) {
         std::filesystem::create_directory(d.Path("dir"));
         return d.Path("dir");
       }, SearchStatus::kFileMissing, 0},
      {"fifo", [](TempDir& d) {
         EXPECT_EQ(mkfifo(d.Path("fifo").c_str(), 0600), 0);
         return d.Path("fifo");
       }, SearchStatus::kNotRegularFile, 0},
      {"device behind a link", [](TempDir& d) {
         std::filesystem::create_symlink("/dev/zero", d.Path("ken.csv"));
         return d.Path("ken.csv");
       }, SearchStatus::kNotRegularFile, 0},
      {"line begins with a comma", [](TempDir& d) { return d.Write("ken.csv", Lines({",x", kSapporo})); },
       SearchStatus::kMalformedLine, 0},
  };
  for (const StatusCase& c : cases) {
    TempDir dir;
    const std::string path = c.make(dir);
    Settings settings = SettingsFor(path, path);
    RecordingView view;
    SearchContext ctx{view, settings};
    const std::vector<std::pair<const char*, SearchResult>> results = {
        {"postcode", SearchPostCode(ctx, "0600001", PostCodeMatch::kExact)},
        {"words", ScanKenAll(ctx, Sjis("札幌"), ScanMode::kWords, WordMatch::kContains)},
        {"dantai", ScanKenAll(ctx, "01101", ScanMode::kDantai)},
        {"city", ScanKenAll(ctx, Sjis("札幌市中央区"), ScanMode::kCity, WordMatch::kExact, Sjis("北海道"))},
        {"cities", ScanKenAll(ctx, Sjis("北海道"), ScanMode::kCityList)},
    };
    for (const auto& [search, result] : results) {
      EXPECT_EQ(result.status, c.status) << c.name << ": " << search;
      EXPECT_EQ(result.rows, c.rows) << c.name << ": " << search;
      EXPECT_EQ(result.ok(), c.status == SearchStatus::kOk) << c.name << ": " << search;
    }
  }
}

TEST(SearchStatus, IndexBuildTellsOverflowAndMissingFile) {
  TempDir dir;
  std::vector<std::string> unsorted;
  for (int i = 0; i < 30; ++i) {
    unsorted.push_back(kSapporo);
    unsorted.push_back(kNaha);
  }
  Settings settings = SettingsFor(dir.Write("ken.csv", Lines(unsorted)), dir.Path("gone.csv"));
  RecordingView view;
  SearchContext ctx{view, settings};
  EXPECT_EQ(BuildPostIndex(ctx, PostFile::kKenAll), SearchStatus::kIndexOverflow);
  EXPECT_EQ(BuildPostIndex(ctx, PostFile::kJigyosyo), SearchStatus::kFileMissing);
  bool rebuilt = false;
  SearchStatus built = SearchStatus::kOk;
  settings.ken_all_time.clear();
  EXPECT_TRUE(CheckPostIndex(ctx, PostFile::kKenAll, &rebuilt, &built));
  EXPECT_TRUE(rebuilt);
  EXPECT_EQ(built, SearchStatus::kIndexOverflow);
  // The file is then read whole: every row is found and the search itself succeeds.
  EXPECT_EQ(SearchPostCode(ctx, "0600001", PostCodeMatch::kExact).rows, 30);
}

// The area-code search keeps its own working set: the view hears the set of MA names once
// and the last prefecture read once, whatever the number of areas.
class CountingCalls : public RecordingView {
 public:
  bool SelectPrefecture(const std::string& name) override {
    ++selects;
    return RecordingView::SelectPrefecture(name);
  }
  void SetWorkList(const std::vector<std::string>& names) override {
    ++work_lists;
    RecordingView::SetWorkList(names);
  }
  int selects = 0;
  int work_lists = 0;
};

TEST(SearchStatus, AreaCodeSearchTellsTheViewItsSetAndLastPrefectureOnce) {
  TempDir dir;
  const std::string ken = dir.Write("ken.csv", Lines({KenLine("01662", "088  ", "0881100", "北海道", "厚岸郡厚岸町", "")}));
  Settings settings = SettingsFor(ken, dir.Path("gone.csv"));
  CountingCalls view;
  SearchContext ctx{view, settings};
  SearchResult result = FindAreaCode(ctx, "0153", AreaDisplay::kPostal, Business::kLeaveOut).ken_all;
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(view.work_lists, 1);
  EXPECT_GE(view.work.size(), 2u);
  EXPECT_TRUE(std::is_sorted(view.work.begin(), view.work.end()));
  EXPECT_EQ(std::adjacent_find(view.work.begin(), view.work.end()), view.work.end());
  EXPECT_EQ(view.selects, 1);
  EXPECT_EQ(view.prefecture, Sjis("北海道"));
  EXPECT_GT(result.rows, 0);
  EXPECT_EQ(result.rows, static_cast<int>(view.Rows().size()));

  // Districts read no file: the prefecture box is left alone; a missing file is a failure.
  view.selects = 0;
  view.ClearRows();
  settings.ken_all_path = dir.Path("gone.csv");
  result = FindAreaCode(ctx, "0153", AreaDisplay::kDistricts, Business::kLeaveOut).ken_all;
  EXPECT_TRUE(result.ok());
  EXPECT_GT(result.rows, 0);
  EXPECT_EQ(view.selects, 0);
  EXPECT_EQ(FindAreaCode(ctx, "0153", AreaDisplay::kPostal, Business::kInclude).ken_all.status, SearchStatus::kFileMissing);
  EXPECT_EQ(view.messages.size(), 1u);  // once per search, however many areas
}

}  // namespace
}  // namespace tovra::test
