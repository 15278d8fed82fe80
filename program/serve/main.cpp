// tovra-serve: the searches of TOVRA and the look-ups of MEKLAN as JSON over HTTP, and a page
// to try them. Only a front end: it reads its options, loads the data, and leaves requests to
// the routes (service.cpp), signals and reloads to this file.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "cp932.h"
#include "data_store.h"
#include "meklan.h"
#include "service.h"
#include "settings.h"

namespace {

using tovra::serve::DataStore;

constexpr const char* kUsage = "usage: tovra-serve [--listen ADDR:PORT] [--ken FILE] [--jig FILE] [--ini FILE]\n"
                               "                   [--threads N] [--queue N] [--request-timeout SECONDS]\n"
                               "                   [--check-interval SECONDS]\n";

constexpr const char* kHelp =
    "Answers the searches of tovra-search and the look-ups of the MEKLAN library as JSON over\n"
    "HTTP/1.1, with a search page at \"/\". Loads the postal files once; SIGHUP (or a changed\n"
    "file stamp) loads them again beside the old data and switches over; SIGTERM finishes the\n"
    "requests in flight and exits 0.\n"
    "\n"
    "  --listen ADDR:PORT        where to listen (default 127.0.0.1:8080; port 0 picks a free one)\n"
    "  --ken FILE                KEN_ALL.CSV (default: the settings' path)\n"
    "  --jig FILE                JIGYOSYO.CSV (default: the settings' path)\n"
    "  --ini FILE                settings file, read only (default: as tovra-search)\n"
    "  --threads N               connections served at once (default 96)\n"
    "  --queue N                 accepted connections waiting for a thread (default 256)\n"
    "  --request-timeout SECONDS a request must arrive whole within this (default 10)\n"
    "  --check-interval SECONDS  how often the files' stamps are checked (default 60, 0: never)\n"
    "  -h, --help                show this help\n"
    "\n"
    "Routes: /api/postcode, /api/address, /api/dantai, /api/areacode, /api/cities, /api/city,\n"
    "/api/resolve, /api/ma, /api/ma/areacodes, /api/distance, /api/areaplus, /api/status and the\n"
    "compatibility route /api/search?zipcode=NNNNNNN; see tovra-serve(1).\n";

struct Options {
  std::string host = "127.0.0.1";
  int port = 8080;
  tovra::serve::DataSource source;
  tovra::serve::Limits limits;
  int check_seconds = 60;
};

int Usage(const std::string& message) {
  std::fprintf(stderr, "tovra-serve: %s\n%sTry 'tovra-serve --help'.\n", message.c_str(), kUsage);
  return 2;
}

std::optional<int> Whole(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const int value = std::atoi(text.c_str());
  if (value < low || value > high) return std::nullopt;
  return value;
}

// nullopt after --help (printed) or a usage error (reported, `status` set).
std::optional<Options> ReadOptions(int argc, char** argv, int* status) {
  Options o;
  std::optional<std::string> ini;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i], value;
    if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      std::fputs(kHelp, stdout);
      *status = 0;
      return std::nullopt;
    }
    const std::size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = arg.substr(eq + 1);
      arg.resize(eq);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      *status = Usage(arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unexpected argument '" + arg + "'");
      return std::nullopt;
    }
    std::optional<int> number;
    auto bad = [&](const char* what) {
      *status = Usage("'" + value + "' is not " + what + " for " + arg);
      return std::nullopt;
    };
    if (arg == "--listen") {
      const std::size_t colon = value.rfind(':');
      number = colon == std::string::npos ? std::nullopt : Whole(value.substr(colon + 1), 0, 65535);
      if (!number || colon == 0) return bad("ADDR:PORT");
      o.host = value.substr(0, colon);
      if (o.host.size() > 2 && o.host.front() == '[' && o.host.back() == ']') o.host = o.host.substr(1, o.host.size() - 2);
      o.port = *number;
    } else if (arg == "--ken") {
      o.source.ken = value;
    } else if (arg == "--jig") {
      o.source.jig = value;
    } else if (arg == "--ini") {
      ini = value;
    } else if (arg == "--threads") {
      if (!(number = Whole(value, 1, 4096))) return bad("a number from 1 to 4096");
      o.limits.threads = *number;
    } else if (arg == "--queue") {
      if (!(number = Whole(value, 1, 65536))) return bad("a number from 1 to 65536");
      o.limits.queue = *number;
    } else if (arg == "--request-timeout") {
      if (!(number = Whole(value, 1, 3600))) return bad("a number of seconds from 1 to 3600");
      o.limits.request_seconds = *number;
    } else if (arg == "--check-interval") {
      if (!(number = Whole(value, 0, 86400))) return bad("a number of seconds from 0 to 86400");
      o.check_seconds = *number;
    } else {
      *status = Usage("unknown option " + arg);
      return std::nullopt;
    }
  }
  o.source.program_dir = tovra::ProgramDirectory();
  o.source.ini_path = ini ? *ini : tovra::SettingsPath(o.source.program_dir);
  return o;
}

// One line on stderr with the time, as a service manager's journal shows it.
void Log(const std::string& line) {
  std::time_t now = std::time(nullptr);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", std::localtime(&now));
  std::fprintf(stderr, "%s tovra-serve: %s\n", stamp, line.c_str());
}

void Reload(DataStore& store, const char* why) {
  std::string log;
  const bool switched = store.Reload(&log);
  Log(std::string(why) + ": " + (switched ? "" : "refused: ") + log);
}

// Waits for SIGTERM or SIGINT (stop) and SIGHUP (reload), which every thread blocks.
void HandleSignals(const sigset_t& signals, DataStore& store, httplib::Server& server) {
  for (;;) {
    int signal = 0;
    if (sigwait(&signals, &signal) != 0) continue;
    if (signal == SIGHUP) {
      Reload(store, "SIGHUP");
      continue;
    }
    Log(std::string(signal == SIGTERM ? "SIGTERM" : "SIGINT") + ": finishing the requests in flight");
    // A stop that came before the server ran would be lost: it waits for the server first.
    for (int i = 0; i < 5000 && !server.is_running(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server.stop();
    return;
  }
}

// Checks the files' stamps every `seconds`; a change is loaded once it has held still for one
// more check, so that a file still being copied is not read half-way.
class StampWatch {
 public:
  StampWatch(DataStore& store, int seconds) : store_(store), seconds_(seconds) {
    if (seconds_ > 0) thread_ = std::thread([this] { Run(); });
  }
  ~StampWatch() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

 private:
  void Run() {
    bool pending = false;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::seconds(seconds_), [this] { return stop_; })) {
      const bool changed = store_.FilesChanged();
      if (changed && pending) Reload(store_, "data files changed");
      pending = changed && !pending;
    }
  }

  DataStore& store_;
  int seconds_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
  cp932::InitLocale();
  int status = 0;
  std::optional<Options> options = ReadOptions(argc, argv, &status);
  if (!options) return status;

  // Every thread started from here on leaves these signals to the signal thread.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  DataStore store(options->source);
  std::string log;
  if (!store.Reload(&log)) {
    std::fprintf(stderr, "tovra-serve: %s\n", log.c_str());
    return 1;
  }
  Log(log);

  httplib::Server server;
  tovra::serve::SetUpService(server, store, options->limits);
  const int port = options->port == 0 ? server.bind_to_any_port(options->host)
                                      : (server.bind_to_port(options->host, options->port) ? options->port : -1);
  if (port < 0) {
    std::fprintf(stderr, "tovra-serve: cannot listen on %s:%d\n", options->host.c_str(), options->port);
    return 1;
  }
  Log("listening on http://" + options->host + ":" + std::to_string(port) + "/");
  std::fflush(stderr);

  std::thread signal_thread([&] { HandleSignals(signals, store, server); });
  bool listened = false;
  {
    StampWatch watch(store, options->check_seconds);
    listened = server.listen_after_bind();
  }
  // The server stops on a signal; when it failed by itself the signal thread is told to end.
  if (!listened) ::kill(::getpid(), SIGTERM);
  signal_thread.join();
  Log(listened ? "stopped" : "the server failed");
  return listened ? 0 : 1;
}
