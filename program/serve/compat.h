// /api/search?zipcode=: the response format of the free postal-code web API that many pages
// and scripts already call, so that they work against this service by changing only the host.
//
//   {"message":null,"results":[{"address1":"高知県","address2":"高知市","address3":"...",
//     "kana1":"ｺｳﾁｹﾝ","kana2":"...","kana3":"...","prefcode":"39","zipcode":"7830060"}],
//    "status":200}
//
// A code that names nothing gives "results":null; a missing or malformed code the status 400
// in the body with the API's own message. As that API does, every answer is HTTP 200 (its
// clients read the status from the body), with the cross-origin header, and JSONP when a
// `callback` is given.
#pragma once

#include <vector>

#include "query.h"
#include "reply.h"
#include "search_view.h"

namespace tovra::serve {

// The answer for the rows of an exact postal-code search (KEN_ALL.CSV), at most `limit`.
Reply CompatResults(const Query& query, const std::vector<ResultRow>& rows);

// The answer for a request the route refuses, in the API's format.
Reply CompatError(const QueryError& error, const std::string& callback);

}  // namespace tovra::serve
