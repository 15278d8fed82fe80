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
  const Business business = q.business && data.has_business ? Business::kInclude : Business::kLeaveOut;
  if (q.business && !data.has_business) {
    answer.messages.push_back("JIGYOSYO.CSV is not loaded: the rows of KEN_ALL.CSV only");
  }
  // The status of KEN_ALL.CSV wins; a failing JIGYOSYO.CSV only adds its message.
  SearchOutcome outcome;
  switch (q.route) {
    case Route::kPostcode:
      outcome = FindPostCode(ctx, q.key, q.postcode_match, business);
      break;
    case Route::kAddress:
      outcome = FindWords(ctx, q.key, q.word_match, business);
      break;
    case Route::kDantai:
      outcome = FindDantai(ctx, q.key, business);
      break;
    case Route::kAreaCode:
      outcome = FindAreaCode(ctx, q.key, q.display, business);
      break;
    case Route::kCities:
      outcome.ken_all = ListCities(ctx, q.key);
      answer.cities = view.cities;
      break;
    case Route::kCity:
      outcome = FindCityRows(ctx, q.key, q.second, business);
      break;
    default:
      break;
  }
  answer.status = outcome.ken_all.status;
  answer.rows = view.Rows();
  answer.messages.insert(answer.messages.end(), view.messages.begin(), view.messages.end());
  return answer;
}

}  // namespace tovra::serve
