#include "reply.h"

#include "cp932.h"
#include "field_text.h"

namespace tovra::serve {

Reply ErrorReply(int status, std::string_view message) {
  return Reply{status, "{\"error\":{\"status\":" + std::to_string(status) + ",\"message\":" + JsonText(message) + "}}\n"};
}

std::string JsonText(std::string_view utf8) { return clitext::JsonString(utf8); }
std::string JsonCp932(std::string_view cp932_text) { return clitext::JsonString(cp932::ToUtf8(cp932_text)); }

}  // namespace tovra::serve
