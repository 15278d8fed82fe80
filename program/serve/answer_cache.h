// Answers kept per issue of the data. A postal search reads its stretch of the file afresh
// each time, which costs milliseconds; the data of one issue never changes, so the same
// question gets the same answer until a reload brings another issue (and another cache).
// Bounded by total bytes; the oldest answers go first; large answers are not kept.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "query.h"
#include "reply.h"

namespace tovra::serve {

class AnswerCache {
 public:
  static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;
  static constexpr std::size_t kMaxAnswerBytes = std::size_t{256} << 10;

  // The answer kept for the query; nullptr when there is none.
  std::shared_ptr<const Reply> Find(const Query& query) const;
  // Keeps a successful answer.
  void Keep(const Query& query, std::shared_ptr<const Reply> reply);

 private:
  static std::string KeyOf(const Query& query);

  mutable std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const Reply>> answers_;
  std::deque<std::string> order_;  // oldest first
  std::size_t bytes_ = 0;
};

}  // namespace tovra::serve
