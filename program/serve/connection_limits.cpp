#include "connection_limits.h"

#include <dlfcn.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <map>
#include <utility>

namespace tovra::serve {
namespace {

using Clock = std::chrono::steady_clock;

// One served connection: until when its current request may take to arrive, and how many
// bytes of it have come.
struct Watched {
  std::uint64_t token = 0;
  bool headers_read = false;
  bool handling = false;  // read whole, being answered
  bool dropped = false;
  Clock::time_point deadline;
  std::size_t bytes = 0;
};

struct Registry {
  std::mutex mutex;
  std::map<int, Watched> sockets;
  std::uint64_t next_token = 1;
  Limits limits;
};
Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// The connection the calling thread serves (-1: none, as on threads that are no workers).
thread_local int tl_socket = -1;
thread_local std::uint64_t tl_token = 0;
// The socket the accept loop took last, handed on with the job it enqueues next.
thread_local int tl_accepted = -1;

void Drop(int socket, Watched& w) {
  w.dropped = true;
  ::shutdown(socket, SHUT_RDWR);  // the blocked read ends, the library closes the connection
}

void StartPhase(Watched& w) {
  const Limits& limits = TheRegistry().limits;
  w.headers_read = false;
  w.handling = false;
  w.bytes = 0;
  w.deadline = Clock::now() + std::chrono::seconds(limits.request_seconds);
}

void Begin(int socket) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  Watched& w = r.sockets[socket];
  w = Watched{};
  w.token = r.next_token++;
  StartPhase(w);
  tl_socket = socket;
  tl_token = w.token;
}

void End() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.sockets.find(tl_socket);
  if (it != r.sockets.end() && it->second.token == tl_token) r.sockets.erase(it);
  tl_socket = -1;
}

// Counts the bytes of the current request; false once it is larger than a request may be.
bool CountReceived(std::size_t bytes) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.sockets.find(tl_socket);
  if (it == r.sockets.end() || it->second.token != tl_token) return true;
  Watched& w = it->second;
  w.bytes += bytes;
  // The library reads ahead, so a read before the headers are parsed may hold a little body.
  const std::size_t allowed = r.limits.header_bytes + (w.headers_read ? r.limits.body_bytes : 0);
  if (w.bytes <= allowed) return true;
  Drop(it->first, w);
  return false;
}

}  // namespace

namespace connection {

void HeadersRead() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.sockets.find(tl_socket);
  if (it != r.sockets.end() && it->second.token == tl_token) it->second.headers_read = true;
}

void RequestHandled() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.sockets.find(tl_socket);
  if (it != r.sockets.end() && it->second.token == tl_token) it->second.handling = true;
}

void ResponseWritten() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.sockets.find(tl_socket);
  if (it != r.sockets.end() && it->second.token == tl_token) StartPhase(it->second);
}

}  // namespace connection

ConnectionPool::ConnectionPool(const Limits& limits) : limits_(limits) {
  TheRegistry().limits = limits;
  for (int i = 0; i < limits.threads; ++i) workers_.emplace_back([this] { Work(); });
  watchdog_ = std::thread([this] { Watch(); });
}

ConnectionPool::~ConnectionPool() { shutdown(); }

void ConnectionPool::enqueue(std::function<void()> fn) {
  std::unique_lock<std::mutex> lock(mutex_);
  room_.wait(lock, [this] { return stopping_ || jobs_.size() < static_cast<std::size_t>(limits_.queue); });
  jobs_.push_back(Job{std::move(fn), std::exchange(tl_accepted, -1)});
  ready_.notify_one();
}

void ConnectionPool::shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_ && workers_.empty()) return;
    stopping_ = true;
  }
  ready_.notify_all();
  room_.notify_all();
  // Connections accepted before the stop are still served, under the watchdog's eye.
  for (std::thread& t : workers_) t.join();
  workers_.clear();
  watch_stop_ = true;
  if (watchdog_.joinable()) watchdog_.join();
}

void ConnectionPool::Work() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    room_.notify_one();
    if (job.socket >= 0) Begin(job.socket);
    job.fn();
    if (job.socket >= 0) End();
  }
}

void ConnectionPool::Watch() {
  Registry& r = TheRegistry();
  while (!watch_stop_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard<std::mutex> lock(r.mutex);
    const Clock::time_point now = Clock::now();
    for (auto& [socket, w] : r.sockets) {
      if (!w.handling && !w.dropped && now > w.deadline) Drop(socket, w);
    }
  }
}

}  // namespace tovra::serve

// The socket calls of the HTTP library, seen on their way. accept(2) notes the socket for the
// job the accept loop enqueues next (and forgets a finished connection that had the same
// number); recv(2) counts what a request has sent.
extern "C" __attribute__((visibility("default"))) int accept(int fd, struct sockaddr* __restrict addr, socklen_t* __restrict len) {
  const int socket = ::accept4(fd, addr, len, 0);
  if (socket >= 0) {
    tovra::serve::Registry& r = tovra::serve::TheRegistry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.sockets.erase(socket);
  }
  tovra::serve::tl_accepted = socket;
  return socket;
}

extern "C" __attribute__((visibility("default"))) ssize_t recv(int fd, void* buffer, size_t size, int flags) {
  using RecvFunction = ssize_t (*)(int, void*, size_t, int);
  static const auto next = reinterpret_cast<RecvFunction>(::dlsym(RTLD_NEXT, "recv"));
  const ssize_t got = next(fd, buffer, size, flags);
  if (got > 0 && fd == tovra::serve::tl_socket && !tovra::serve::CountReceived(static_cast<std::size_t>(got))) {
    return 0;
  }
  return got;
}
