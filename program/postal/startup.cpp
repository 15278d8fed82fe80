#include "startup.h"

#include <sys/stat.h>

namespace tovra {
namespace {

// Points the record at `path`, which has no index yet.
void ForgetIndex(Settings& s, PostFile file, const std::string& path) {
  (file == PostFile::kKenAll ? s.ken_all_path : s.jigyosyo_path) = path;
  PostFileTime(s, file).clear();
  PostFileStamp(s, file).clear();
  ResetPostIndex(PostFileIndex(s, file));
}

// Whether the file is there to be searched: a regular file (a directory counts as missing; a
// pipe is never opened here).
bool DataFileThere(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The index check of a file named for this run: a cached index of the file is checked like a
// stored one, and a rebuilt one goes to the cache.
void CheckOneRunIndex(SearchContext& ctx, PostFile file, bool rebuild, const std::string& cache_folder,
                      IndexState& state) {
  const std::string& path = PostFilePath(ctx.settings, file);
  if (!rebuild && !cache_folder.empty()) {
    if (std::optional<CachedIndex> cached = LoadCachedIndex(cache_folder, path)) {
      PostFileTime(ctx.settings, file) = cached->time;
      PostFileStamp(ctx.settings, file) = cached->stamp;
      PostFileIndex(ctx.settings, file) = cached->index;
    }
  }
  state.exists = CheckPostIndex(ctx, file, &state.rebuilt, &state.built);
  if (state.rebuilt && state.built == SearchStatus::kOk && !cache_folder.empty()) {
    StoreCachedIndex(cache_folder, path,
                     {PostFileTime(ctx.settings, file), PostFileStamp(ctx.settings, file), PostFileIndex(ctx.settings, file)});
  }
}

}  // namespace

OverriddenFiles ApplyOverrides(const RunOverrides& o, Settings& s) {
  OverriddenFiles overridden;
  overridden.ken_all = o.ken_all_path && *o.ken_all_path != s.ken_all_path;
  overridden.jigyosyo = o.jigyosyo_path && *o.jigyosyo_path != s.jigyosyo_path;
  // The stored index is another file's.
  if (overridden.ken_all) ForgetIndex(s, PostFile::kKenAll, *o.ken_all_path);
  if (overridden.jigyosyo) ForgetIndex(s, PostFile::kJigyosyo, *o.jigyosyo_path);
  if (o.add_hyphen) s.add_hyphen = *o.add_hyphen;
  if (o.edition) s.ma_edition = *o.edition;
  if (o.rebuild) {
    s.ken_all_time.clear();
    s.jigyosyo_time.clear();
  }
  overridden.rebuild = o.rebuild;
  return overridden;
}

StartedIndexes CheckIndexesAndSave(SearchContext& ctx, const std::string& ini_path, OverriddenFiles overridden,
                                   IndexNeed need, const std::string& cache_folder) {
  StartedIndexes started;
  for (PostFile file : {PostFile::kKenAll, PostFile::kJigyosyo}) {
    IndexState& state = file == PostFile::kKenAll ? started.ken_all : started.jigyosyo;
    const bool one_run = file == PostFile::kKenAll ? overridden.ken_all : overridden.jigyosyo;
    if (need == IndexNeed::kNone) state.exists = DataFileThere(PostFilePath(ctx.settings, file));
    else if (one_run) CheckOneRunIndex(ctx, file, overridden.rebuild, cache_folder, state);
    else state.exists = CheckPostIndex(ctx, file, &state.rebuilt, &state.built);
  }
  const unsigned parts = (started.ken_all.rebuilt && !overridden.ken_all ? kKenAllIndexPart : 0u) |
                         (started.jigyosyo.rebuilt && !overridden.jigyosyo ? kJigyosyoIndexPart : 0u);
  if (parts != 0) started.saved = SaveSettings(ini_path, ctx.settings, &started.save_message, parts);
  return started;
}

}  // namespace tovra
