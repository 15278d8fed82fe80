// The HTTP side of tovra-serve: the routes, the limits and the JSON errors, on one server.
#pragma once

#include <httplib.h>

#include "data_store.h"
#include "connection_limits.h"

namespace tovra::serve {

// Sets up `server` to answer from `store` within `limits`.
void SetUpService(httplib::Server& server, DataStore& store, const Limits& limits);

}  // namespace tovra::serve
