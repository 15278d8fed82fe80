// The floor of the tovra-serve benchmark: the same HTTP library answering an empty JSON object,
// configured as tovra-serve configures it (TCP_NODELAY, keep-alive, a pool of the same size).
//   empty_server [THREADS]     prints "listening on http://127.0.0.1:PORT/" on stderr
#include <httplib.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const int threads = argc > 1 ? std::atoi(argv[1]) : 96;
  httplib::Server server;
  server.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<std::size_t>(threads)); };
  server.set_tcp_nodelay(true);
  server.set_keep_alive_max_count(1000);
  server.set_keep_alive_timeout(5);
  server.Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("{}\n", "application/json; charset=utf-8");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  if (port < 0) return 1;
  std::fprintf(stderr, "listening on http://127.0.0.1:%d/\n", port);
  std::fflush(stderr);
  server.listen_after_bind();
  return 0;
}
