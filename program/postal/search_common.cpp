#include "search_common.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "cp932.h"
#include "messages.h"

namespace tovra {

const std::string& PostFilePath(const Settings& settings, PostFile file) {
  return file == PostFile::kKenAll ? settings.ken_all_path : settings.jigyosyo_path;
}

PostIndex& PostFileIndex(Settings& settings, PostFile file) {
  return file == PostFile::kKenAll ? settings.ken_all_index : settings.jigyosyo_index;
}

std::string& PostFileTime(Settings& settings, PostFile file) {
  return file == PostFile::kKenAll ? settings.ken_all_time : settings.jigyosyo_time;
}

std::string& PostFileStamp(Settings& settings, PostFile file) {
  return file == PostFile::kKenAll ? settings.ken_all_stamp : settings.jigyosyo_stamp;
}

const std::array<std::string_view, kColumnCount>& ColumnTitles() {
  static constexpr std::array<std::string_view, kColumnCount> kTitles = {
      msg::kColumnPostcode,       msg::kColumnDantaiCode, msg::kColumnAreaCode,
      msg::kColumnMaName,         msg::kColumnPrefecture, msg::kColumnCity,
      msg::kColumnTown,           msg::kColumnPrefectureKana, msg::kColumnCityKana,
      msg::kColumnTownKana,       msg::kColumnBusiness,   msg::kColumnBusinessKana,
  };
  return kTitles;
}

namespace detail {

bool KeyTooLong(SearchContext& ctx, std::initializer_list<std::string_view> keys) {
  for (std::string_view key : keys) {
    if (key.size() <= kKeyMax) continue;
    ctx.view.ShowMessage(msg::Fill(msg::kKeyTooLongFormat, std::to_string(kKeyMax)), "");
    return true;
  }
  return false;
}

namespace {

// A path as the user reads it in a CP932 message: converted when it can be, otherwise with
// every byte that is not plain ASCII shown as "?".
std::string PathForMessage(const std::string& path) {
  if (auto converted = cp932::FromUtf8(path)) return *converted;
  std::string out;
  for (char c : path) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
  return out;
}

}  // namespace

SearchStatus OpenPostFile(SearchContext& ctx, PostFile file, PostFileBytes& bytes, Report report) {
  const std::string& path = PostFilePath(ctx.settings, file);
  if (bytes.Open(path)) return SearchStatus::kOk;
  // A missing JIGYOSYO.CSV is normal (no business data); a pipe or device in place of either
  // file is a mistake to report.
  const bool not_regular = bytes.LastOpenFailure() == PostFileBytes::OpenFailure::kNotRegularFile;
  if (report == Report::kProblems && (file == PostFile::kKenAll || not_regular)) {
    ctx.view.ShowMessage(
        msg::Fill(not_regular ? msg::kNotRegularFileFormat : msg::kFileNotFoundFormat, PathForMessage(path)), "");
  }
  return not_regular ? SearchStatus::kNotRegularFile : SearchStatus::kFileMissing;
}

namespace {

// Entries [start, start + size] that must tile the file from `last_end` + 1 on, each starting
// at a line start; an entry of size -1 (none in the file) is passed over. `last_end` is left
// where the last entry ends.
bool EntriesDescribe(const std::vector<std::pair<std::int64_t, std::int64_t>>& entries, std::string_view bytes,
                     std::int64_t& last_end) {
  const auto length = static_cast<std::int64_t>(bytes.size());
  for (const auto& [start, size] : entries) {
    if (size < 0) continue;
    if (start != last_end + 1 || start + size > length) return false;
    if (start > 0 && bytes[static_cast<std::size_t>(start - 1)] != '\n' && bytes[static_cast<std::size_t>(start - 1)] != '\r') {
      return false;
    }
    last_end = start + size;
  }
  return true;
}

}  // namespace

bool IndexDescribes(const PostIndex& index, const PostFileBytes& bytes) {
  std::vector<std::pair<std::int64_t, std::int64_t>> prefs, runs;
  for (const PrefRange& r : index.pref) prefs.emplace_back(r.start, r.size);
  for (const DigitRun& r : index.run) {
    if (r.num > 0) runs.emplace_back(r.start, r.size);
  }
  std::int64_t pref_end = -1, run_end = -1;
  const auto length = static_cast<std::int64_t>(bytes.Bytes().size());
  // The last run of a build is measured to the end of the file.
  return EntriesDescribe(prefs, bytes.Bytes(), pref_end) && (pref_end == -1 || pref_end == length) &&
         EntriesDescribe(runs, bytes.Bytes(), run_end) && run_end == length;
}

bool IndexFitsFile(const SearchContext& ctx, PostFile file, const PostFileBytes& bytes) {
  const PostIndex& index = file == PostFile::kKenAll ? ctx.settings.ken_all_index : ctx.settings.jigyosyo_index;
  if (!IndexDescribes(index, bytes)) return false;
  const std::string& path = PostFilePath(ctx.settings, file);
  const std::string& recorded = file == PostFile::kKenAll ? ctx.settings.ken_all_time : ctx.settings.jigyosyo_time;
  std::string now;
  if (!recorded.empty() && GetFileDateText(path, now) && now != recorded) return false;
  const std::string& stamp = file == PostFile::kKenAll ? ctx.settings.ken_all_stamp : ctx.settings.jigyosyo_stamp;
  return stamp.empty() || !GetFileStampText(path, now) || now == stamp;
}

bool LineMayHold(std::string_view line, std::string_view term) {
  if (term.empty()) return true;
  if (line.size() < term.size()) return false;  // also keeps an empty view's null data away
  return memmem(line.data(), line.size(), term.data(), term.size()) != nullptr;
}

namespace {

std::string PostCodeText(std::string_view code, bool hyphen) {
  if (!hyphen) return std::string(code);
  std::string out(code.substr(0, 3));
  out += '-';
  if (code.size() > 3) out.append(code.substr(3, 4));
  return out;
}

}  // namespace

namespace {

// Which field of a line fills which column of its row; the postal code and JIGYOSYO.CSV's
// joined address are made apart.
struct ColumnField {
  Column column;
  int field;
};
constexpr ColumnField kKenAllColumns[] = {
    {kColDantaiCode, ken_field::kDantaiCode}, {kColPrefecture, ken_field::kPrefecture},
    {kColCity, ken_field::kCity},             {kColTown, ken_field::kTown},
    {kColPrefectureKana, ken_field::kPrefectureKana}, {kColCityKana, ken_field::kCityKana},
    {kColTownKana, ken_field::kTownKana},
};
constexpr ColumnField kJigyosyoColumns[] = {
    {kColDantaiCode, jig_field::kDantaiCode}, {kColPrefecture, jig_field::kPrefecture},
    {kColCity, jig_field::kCity},             {kColBusiness, jig_field::kBusiness},
    {kColBusinessKana, jig_field::kBusinessKana},
};

template <std::size_t N>
ResultRow RowOf(const PostRecord& r, const ColumnField (&columns)[N], int code_field, bool hyphen) {
  ResultRow row;
  row.columns[kColPostCode] = PostCodeText(r[code_field], hyphen);
  for (const ColumnField& c : columns) row.columns[c.column] = r[c.field];
  return row;
}

}  // namespace

ResultRow KenAllRow(const PostRecord& r, bool hyphen) {
  return RowOf(r, kKenAllColumns, ken_field::kPostCode, hyphen);
}

ResultRow JigyosyoRow(const PostRecord& r, bool hyphen) {
  ResultRow row = RowOf(r, kJigyosyoColumns, jig_field::kPostCode, hyphen);
  // The town column carries the block and building too; it stays within one field's size.
  std::string town(r[jig_field::kTown]);
  town += r[jig_field::kStreet];
  town.resize(cp932::BoundaryAtOrBefore(town, kFieldMax));
  row.columns[kColTown] = std::move(town);
  return row;
}

ResultRow PostalRow(const SearchContext& ctx, PostFile file, const PostRecord& record, const MKJOIN* join) {
  ResultRow row = FileRow(file, record, ctx.settings.add_hyphen != 0);
  if (ctx.settings.ma_edition != MEKLAN_EDITION_CURRENT) return row;
  MKJOIN own;
  if (join == nullptr) {
    JoinPostRecord(MEKLAN_EDITION_CURRENT, file, record, own);
    join = &own;
  }
  if (join->count > 0) {
    row.columns[kColAreaCode] = join->areaCodes;
    row.columns[kColMaName] = join->maNames;
  }
  return row;
}

int JoinPostRecord(int edition, PostFile file, const PostRecord& r, MKJOIN& join) {
  // The record's fields are views into the line: the library wants NUL-terminated texts.
  const bool ken_all = file == PostFile::kKenAll;
  const std::string code(r[ken_all ? ken_field::kDantaiCode : jig_field::kDantaiCode]);
  const std::string town(r[ken_all ? ken_field::kTown : jig_field::kTown]);
  const std::string street(ken_all ? std::string_view() : r[jig_field::kStreet]);
  return MEKLAN_EditionJoin(edition, code.c_str(), town.c_str(), ken_all ? nullptr : street.c_str(), &join);
}

}  // namespace detail
}  // namespace tovra
