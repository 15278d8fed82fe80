// The answers of /api/resolve: written addresses resolved against the dataset's towns, each
// as the object tovra-search resolve --format json prints, in input order:
// {"count":N,"resolutions":[{"input": ..., "level": ..., ...}, ...]}.
#pragma once

#include <string>
#include <vector>

#include "data_store.h"
#include "query.h"
#include "reply.h"

namespace tovra::serve {

// GET: the one address of the query (q.key, CP932).
Reply ResolveReply(const Dataset& data, const Query& q);

// POST: every line (UTF-8) with the query's options; an empty line resolves to level 0.
Reply ResolveLinesReply(const Dataset& data, const Query& q, const std::vector<std::string>& utf8_lines);

}  // namespace tovra::serve
