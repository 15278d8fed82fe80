#include "service.h"

#include <variant>

#include "compat.h"
#include "lookups.h"
#include "meklan.h"
#include "output.h"
#include "page.h"
#include "postal_searches.h"
#include "resolutions.h"

namespace tovra::serve {
namespace {

void Send(httplib::Response& res, const Reply& reply) {
  res.status = reply.status;
  res.set_content(reply.body, reply.content_type.c_str());
  // Pages of any origin may read the answers: the data is public and nothing is changed.
  res.set_header("Access-Control-Allow-Origin", "*");
}

std::string CityArray(const std::vector<std::string>& cities) {
  std::string text = "[";
  for (std::size_t i = 0; i < cities.size(); ++i) text += (i == 0 ? "" : ",") + JsonCp932(cities[i]);
  return text + "]";
}

std::string MessageArray(const std::vector<std::string>& messages) {
  std::string text = "[";
  for (std::size_t i = 0; i < messages.size(); ++i) text += (i == 0 ? "" : ",") + JsonText(messages[i]);
  return text + "]";
}

// A postal search as JSON: the rows in the form tovra-search --format json prints them.
Reply PostalReply(const Dataset& data, const Query& q) {
  PostalAnswer answer = RunPostalSearch(data, q);
  if (answer.status != SearchStatus::kOk) {
    const std::string why = answer.messages.empty() ? "the postal data cannot be read" : answer.messages.front();
    return ErrorReply(503, why);
  }
  if (q.route == Route::kCities) {
    return Reply{200, "{\"count\":" + std::to_string(answer.cities.size()) + ",\"cities\":" +
                          CityArray(answer.cities) + ",\"messages\":" + MessageArray(answer.messages) + "}\n"};
  }
  return Reply{200, "{\"count\":" + std::to_string(answer.rows.size()) + ",\"rows\":" +
                        cli::JsonRowArray(answer.rows) + ",\"messages\":" + MessageArray(answer.messages) + "}\n"};
}

Reply StatusReply(const Dataset& data) {
  std::string body = "{\"status\":\"ok\",\"generation\":" + std::to_string(data.generation) +
                     ",\"kenAll\":{\"path\":" + JsonText(data.ken_path) + ",\"stamp\":" + JsonText(data.ken_stamp) +
                     "},\"jigyosyo\":";
  body += data.has_business ? "{\"path\":" + JsonText(data.jig_path) + ",\"stamp\":" + JsonText(data.jig_stamp) + "}"
                            : std::string("null");
  char current[MEKLAN_DAYDATA_SIZE] = {}, old[MEKLAN_DAYDATA_SIZE] = {};
  MEKLAN_EditionGetDayData(MEKLAN_EDITION_CURRENT, current);
  MEKLAN_EditionGetDayData(MEKLAN_EDITION_2003, old);
  body += ",\"tables\":{\"current\":" + JsonCp932(current) + ",\"2003\":" + JsonCp932(old) + "}}\n";
  return Reply{200, body};
}

Reply SearchReply(const Dataset& data, const Query& q);

Reply Answer(DataStore& store, const std::string& path, const Params& params) {
  std::variant<Query, QueryError> parsed = ParseQuery(path, params);
  if (const QueryError* error = std::get_if<QueryError>(&parsed)) {
    if (RouteOfPath(path) == Route::kCompat) return CompatError(*error, error->callback);
    return ErrorReply(error->status, error->message);
  }
  const Query& q = std::get<Query>(parsed);
  switch (q.route) {
    case Route::kMa:
    case Route::kMaAreaCodes:
    case Route::kDistance:
    case Route::kAreaPlus:
      return RunLookup(q);
    default:
      break;
  }
  // Held to the end of the request: a reload meanwhile leaves this issue open for it.
  const std::shared_ptr<const Dataset> data = store.Current();
  if (!data) return ErrorReply(503, "no postal data is loaded");
  if (q.route == Route::kStatus) return StatusReply(*data);
  if (std::shared_ptr<const Reply> kept = data->answers.Find(q)) return *kept;
  auto reply = std::make_shared<const Reply>(SearchReply(*data, q));
  data->answers.Keep(q, reply);
  return *reply;
}

// The answer of a postal route, the compatibility route or a written address, from the engines.
Reply SearchReply(const Dataset& data, const Query& q) {
  if (q.route == Route::kResolve) return ResolveReply(data, q);
  if (q.route == Route::kCompat) {
    Query exact = q;
    exact.route = Route::kPostcode;
    exact.postcode_match = PostCodeMatch::kExact;
    exact.business = false;
    PostalAnswer answer = RunPostalSearch(data, exact);
    if (answer.status != SearchStatus::kOk) return CompatError(QueryError{500, "サーバーエラー", q.callback}, q.callback);
    return CompatResults(q, answer.rows);
  }
  return PostalReply(data, q);
}

// A POST of written addresses, one a line. The options come from the query string alone: a
// body sent as a form must not be read as parameters.
Reply AnswerLines(DataStore& store, const httplib::Request& req) {
  const std::size_t mark = req.target.find('?');
  Params params;
  if (mark != std::string::npos) httplib::detail::parse_query_text(req.target.substr(mark + 1), params);
  std::variant<Query, QueryError> parsed = ParseResolveBatch(params);
  if (const QueryError* error = std::get_if<QueryError>(&parsed)) return ErrorReply(error->status, error->message);
  std::variant<std::vector<std::string>, QueryError> lines = SplitAddressLines(req.body);
  if (const QueryError* error = std::get_if<QueryError>(&lines)) return ErrorReply(error->status, error->message);
  const std::shared_ptr<const Dataset> data = store.Current();
  if (!data) return ErrorReply(503, "no postal data is loaded");
  return ResolveLinesReply(*data, std::get<Query>(parsed), std::get<std::vector<std::string>>(lines));
}

// Texts for the statuses the HTTP library answers by itself.
std::string StatusMessage(int status) {
  switch (status) {
    case 400: return "malformed request";
    case 404: return "no such route";
    case 405: return "method not allowed";
    case 413: return "request body too large";
    case 414: return "request line too long";
    case 416: return "range not satisfiable";
    default: return "HTTP status " + std::to_string(status);
  }
}

}  // namespace

void SetUpService(httplib::Server& server, DataStore& store, const Limits& limits) {
  server.new_task_queue = [limits] { return new ConnectionPool(limits); };
  server.set_tcp_nodelay(true);
  server.set_keep_alive_max_count(1000);
  server.set_keep_alive_timeout(5);
  server.set_read_timeout(5, 0);
  server.set_write_timeout(5, 0);
  server.set_payload_max_length(limits.body_bytes);

  server.set_pre_routing_handler([body_max = limits.body_bytes](const httplib::Request& req, httplib::Response& res) {
    connection::HeadersRead();
    // A body larger than allowed is refused before it is read; the connection then closes, as
    // the unread body stands where the next request would.
    const std::string length = req.get_header_value("Content-Length");
    const bool number = length.find_first_not_of("0123456789") == std::string::npos && length.size() <= 18;
    if (!length.empty() && (!number || std::stoull(length) > body_max)) {
      Send(res, ErrorReply(413, "request body too large (at most " + std::to_string(body_max) + " bytes)"));
      res.set_header("Connection", "close");
      return httplib::Server::HandlerResponse::Handled;
    }
    // A request with a body is still arriving; its handler says when it is read.
    if (length.empty() && !req.has_header("Transfer-Encoding")) connection::RequestHandled();
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.set_logger([](const httplib::Request&, const httplib::Response&) { connection::ResponseWritten(); });
  server.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
    if (!res.body.empty()) return;
    // The HTTP library reads a form body as parameters and refuses a large one: curl's
    // --data-binary sends a file of addresses as a form unless told otherwise.
    const bool form = req.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) == 0;
    if (res.status == 413 && form) {
      Send(res, ErrorReply(413, "a form body (application/x-www-form-urlencoded) is limited to " +
                                    std::to_string(CPPHTTPLIB_FORM_URL_ENCODED_PAYLOAD_MAX_LENGTH) +
                                    " bytes; send addresses as text/plain"));
      return;
    }
    Send(res, ErrorReply(res.status, StatusMessage(res.status)));
  });
  server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
    Send(res, ErrorReply(500, "internal error"));
  });

  server.Get(R"(/|/app\.js|/app\.css)", [](const httplib::Request& req, httplib::Response& res) {
    const Asset* asset = FindAsset(req.path);
    res.set_content(asset->body.data(), asset->body.size(), std::string(asset->content_type).c_str());
  });
  server.Get(R"(/api/.*)", [&store](const httplib::Request& req, httplib::Response& res) {
    Send(res, Answer(store, req.path, req.params));
  });
  server.Post("/api/resolve", [&store](const httplib::Request& req, httplib::Response& res) {
    connection::RequestHandled();
    Send(res, AnswerLines(store, req));
  });
}

}  // namespace tovra::serve
