// What a handler answers: a status and a body, JSON in UTF-8 unless said otherwise.
#pragma once

#include <string>
#include <string_view>

namespace tovra::serve {

struct Reply {
  int status = 200;
  std::string body;
  std::string content_type = "application/json; charset=utf-8";
};

// {"error":{"status":400,"message":"..."}}
Reply ErrorReply(int status, std::string_view message);

// A JSON string literal of UTF-8 text, or of CP932 text converted.
std::string JsonText(std::string_view utf8);
std::string JsonCp932(std::string_view cp932_text);

}  // namespace tovra::serve
