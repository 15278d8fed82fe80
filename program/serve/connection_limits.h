// What one client can take from the service: a bounded number of connections, a whole request
// (line, headers, body) within a time and a size, and nothing once it stalls or trickles.
//
// The HTTP library bounds each single read by a timeout, which a client sending one byte a
// second never meets. So the service counts per connection itself: it takes each accepted
// socket as the library accepts it (the library calls accept(2) and recv(2) of the process,
// which this file provides over accept4(2) and the C library's recv), serves it on a pool of
// its own, and a watchdog shuts down the socket of a request that is late or too large.
#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tovra::serve {

struct Limits {
  int threads = 96;                  // connections served at once (keep-alive holds one)
  int queue = 256;                   // accepted connections waiting for a thread
  int request_seconds = 10;          // a request must arrive whole within this time
  std::size_t header_bytes = 16384;  // request line and headers together
  std::size_t body_bytes = 1 << 20;  // a POST body
};

// The phases of one connection, as the HTTP layer reports them on the serving thread.
namespace connection {
// The request line and headers are in: from here on a body may come, up to its limit.
void HeadersRead();
// The request was read whole: no deadline while it is answered.
void RequestHandled();
// The answer is out: the next request's time and bytes start.
void ResponseWritten();
}  // namespace connection

// The pool the HTTP library hands accepted connections to. Its queue is bounded: when it is
// full the accept loop waits, and further clients wait in the kernel's listen queue.
class ConnectionPool : public httplib::TaskQueue {
 public:
  explicit ConnectionPool(const Limits& limits);
  ~ConnectionPool() override;
  void enqueue(std::function<void()> fn) override;
  void shutdown() override;

 private:
  struct Job {
    std::function<void()> fn;
    int socket;
  };
  void Work();
  void Watch();

  Limits limits_;
  std::mutex mutex_;
  std::condition_variable ready_, room_;
  std::deque<Job> jobs_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
  std::thread watchdog_;
  std::atomic<bool> watch_stop_{false};
};

}  // namespace tovra::serve
