#include "postal_searches.h"

#include <algorithm>
#include <semaphore>
#include <thread>

#include "collecting_view.h"
#include "cp932.h"

namespace tovra::serve {
namespace {

class RequestView : public CollectingView {
 public:
  void ShowMessage(const std::string& text, const std::string& /*caption*/) override {
    messages.push_back(cp932::ToUtf8(text));
  }
  std::vector<std::string> messages;
};

// The status of KEN_ALL.CSV wins; a failing JIGYOSYO.CSV only adds its message.
void Note(PostalAnswer& answer, const SearchResult& result, PostFile file) {
  if (file == PostFile::kKenAll) answer.status = result.status;
}

// Searches at once. Each maps its file and walks its stretch: more of them than cores only
// contend for the address space (and past the engine's 32 guarded mappings each would read the
// whole file instead).
std::counting_semaphore<64>& SearchSlots() {
  static std::counting_semaphore<64> slots(std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 2, 16));
  return slots;
}

}  // namespace

PostalAnswer RunPostalSearch(const Dataset& data, const Query& q) {
  SearchSlots().acquire();
  struct Release {
    ~Release() { SearchSlots().release(); }
  } release;
  Settings settings = data.settings;
  if (q.edition) settings.ma_edition = *q.edition;
  RequestView view;
  SearchContext ctx{view, settings};
  PostalAnswer answer;
  const bool business = q.business && data.has_business;
  if (q.business && !data.has_business) {
    answer.messages.push_back("JIGYOSYO.CSV is not loaded: the rows of KEN_ALL.CSV only");
  }
  // The scans of both files with one key: address words, local-government code, city rows.
  auto scan = [&](const std::string& key, ScanMode mode, WordMatch match, const std::string& prefecture) {
    Note(answer, ScanKenAll(ctx, key, mode, match, prefecture), PostFile::kKenAll);
    if (business) Note(answer, ScanJigyosyo(ctx, key, mode, match, prefecture), PostFile::kJigyosyo);
  };
  switch (q.route) {
    case Route::kPostcode:
      Note(answer, SearchPostCode(ctx, q.key, q.postcode_match), PostFile::kKenAll);
      if (business) Note(answer, SearchJigPostCode(ctx, q.key, q.postcode_match), PostFile::kJigyosyo);
      break;
    case Route::kAddress:
      scan(q.key, ScanMode::kWords, q.word_match, {});
      break;
    case Route::kDantai:
      scan(q.key, ScanMode::kDantai, WordMatch::kExact, {});
      break;
    case Route::kAreaCode:
      Note(answer, SearchByAreaCode(ctx, q.key, q.display, business), PostFile::kKenAll);
      break;
    case Route::kCities:
      Note(answer, ScanKenAll(ctx, q.key, ScanMode::kCityList), PostFile::kKenAll);
      answer.cities = view.cities;
      break;
    case Route::kCity:
      scan(q.second, ScanMode::kCity, WordMatch::kExact, q.key);
      break;
    default:
      break;
  }
  answer.rows = view.Rows();
  answer.messages.insert(answer.messages.end(), view.messages.begin(), view.messages.end());
  return answer;
}

}  // namespace tovra::serve
