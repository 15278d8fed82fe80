#include "answer_cache.h"

namespace tovra::serve {

std::string AnswerCache::KeyOf(const Query& q) {
  // Every field that can change an answer; texts last, each with its length.
  std::string key = std::to_string(static_cast<int>(q.route)) + ' ' + std::to_string(static_cast<int>(q.postcode_match)) +
                    ' ' + std::to_string(static_cast<int>(q.word_match)) + ' ' +
                    std::to_string(static_cast<int>(q.display)) + ' ' + (q.business ? '1' : '0') + ' ' +
                    std::to_string(q.edition.value_or(-1)) + ' ' + std::to_string(q.limit) + ' ';
  for (const std::string* text : {&q.key, &q.second, &q.callback}) key += std::to_string(text->size()) + ':' + *text;
  return key;
}

std::shared_ptr<const Reply> AnswerCache::Find(const Query& query) const {
  const std::string key = KeyOf(query);
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = answers_.find(key);
  return it == answers_.end() ? nullptr : it->second;
}

void AnswerCache::Keep(const Query& query, std::shared_ptr<const Reply> reply) {
  if (reply->status != 200 || reply->body.size() > kMaxAnswerBytes) return;
  std::string key = KeyOf(query);
  std::lock_guard<std::mutex> lock(mutex_);
  if (answers_.count(key) != 0) return;
  bytes_ += reply->body.size() + key.size();
  order_.push_back(key);
  answers_.emplace(std::move(key), std::move(reply));
  while (bytes_ > kMaxBytes && !order_.empty()) {
    auto it = answers_.find(order_.front());
    bytes_ -= it->second->body.size() + order_.front().size();
    answers_.erase(it);
    order_.pop_front();
  }
}

}  // namespace tovra::serve
