// The one place where the service calls the postal engine: a query in, the rows (or cities)
// and the engine's messages out. Each request gets its own view and its own copy of the
// dataset's settings, so requests share nothing but the data files they read.
#pragma once

#include <string>
#include <vector>

#include "data_store.h"
#include "query.h"
#include "searches.h"

namespace tovra::serve {

struct PostalAnswer {
  SearchStatus status = SearchStatus::kOk;  // that of KEN_ALL.CSV
  std::vector<ResultRow> rows;              // in the result list's order
  std::vector<std::string> cities;          // kCities, CP932
  std::vector<std::string> messages;        // what the engine reported, UTF-8
};

// Runs the search of a postal route (kPostcode, kAddress, kDantai, kAreaCode, kCities, kCity).
PostalAnswer RunPostalSearch(const Dataset& data, const Query& query);

}  // namespace tovra::serve
