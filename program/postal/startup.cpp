#include "startup.h"

namespace tovra {

OverriddenFiles ApplyOverrides(const RunOverrides& o, Settings& s) {
  OverriddenFiles overridden;
  overridden.ken_all = o.ken_all_path && *o.ken_all_path != s.ken_all_path;
  overridden.jigyosyo = o.jigyosyo_path && *o.jigyosyo_path != s.jigyosyo_path;
  if (overridden.ken_all) {
    s.ken_all_path = *o.ken_all_path;
    s.ken_all_time.clear();
  }
  if (overridden.jigyosyo) {
    s.jigyosyo_path = *o.jigyosyo_path;
    s.jigyosyo_time.clear();
  }
  if (o.add_hyphen) s.add_hyphen = *o.add_hyphen;
  if (o.edition) s.ma_edition = *o.edition;
  if (o.rebuild) {
    s.ken_all_time.clear();
    s.jigyosyo_time.clear();
  }
  return overridden;
}

StartedIndexes CheckIndexesAndSave(SearchContext& ctx, const std::string& ini_path, OverriddenFiles overridden) {
  StartedIndexes started;
  auto check = [&ctx](PostFile file, IndexState& state) {
    state.exists = CheckPostIndex(ctx, file, &state.rebuilt, &state.built);
  };
  check(PostFile::kKenAll, started.ken_all);
  check(PostFile::kJigyosyo, started.jigyosyo);
  const unsigned parts = (started.ken_all.rebuilt && !overridden.ken_all ? kKenAllIndexPart : 0u) |
                         (started.jigyosyo.rebuilt && !overridden.jigyosyo ? kJigyosyoIndexPart : 0u);
  if (parts != 0) started.saved = SaveSettings(ini_path, ctx.settings, &started.save_message, parts);
  return started;
}

}  // namespace tovra
