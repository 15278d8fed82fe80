#include "mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>

#include "post_line.h"

namespace tovra {

int OpenDataFile(const std::string& path, PostFileBytes::OpenFailure& failure, std::int64_t& length) {
  failure = PostFileBytes::OpenFailure::kCannotOpen;
  // Without O_NONBLOCK, opening a FIFO waits for a writer for ever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st {};
  const bool known = fstat(fd, &st) == 0;
  if (!known || !S_ISREG(st.st_mode)) {
    if (known && !S_ISDIR(st.st_mode)) failure = PostFileBytes::OpenFailure::kNotRegularFile;
    ::close(fd);
    return -1;
  }
  failure = PostFileBytes::OpenFailure::kNone;
  length = static_cast<std::int64_t>(st.st_size);
  return fd;
}

namespace {

// --- The guard of mapped files (see the head of mapped_file.h) ------------------------------
//
// The slots are global because a signal handler can see nothing else; they are atomics so that
// the handler reads a slot whole while another thread takes or frees it.

struct GuardSlot {
  std::atomic<bool> taken{false};
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};  // page-rounded
};
constexpr int kGuardSlots = 32;
GuardSlot g_guards[kGuardSlots];
struct sigaction g_previous_bus_action;
std::uintptr_t g_page_size = 4096;
bool g_guard_installed = false;

void OnBusError(int sig, siginfo_t* info, void* context) {
  const auto addr = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (GuardSlot& slot : g_guards) {
    const std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
    const std::uintptr_t end = slot.end.load(std::memory_order_acquire);
    if (begin == 0 || addr < begin || addr >= end) continue;
    const std::uintptr_t from = addr / g_page_size * g_page_size;
    void* zeros = ::mmap(reinterpret_cast<void*>(from), end - from, PROT_READ,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) return;
    break;
  }
  const struct sigaction& prev = g_previous_bus_action;
  if ((prev.sa_flags & SA_SIGINFO) != 0 && prev.sa_sigaction != nullptr) {
    prev.sa_sigaction(sig, info, context);
  } else if ((prev.sa_flags & SA_SIGINFO) == 0 && prev.sa_handler != SIG_DFL && prev.sa_handler != SIG_IGN) {
    prev.sa_handler(sig);
  } else {
    // The fault recurs on return and ends the program as it would have without the guard.
    ::signal(SIGBUS, SIG_DFL);
  }
}

bool InstallBusGuard() {
  static std::once_flag once;
  std::call_once(once, [] {
    g_page_size = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    g_guard_installed = ::sigaction(SIGBUS, &action, &g_previous_bus_action) == 0;
  });
  return g_guard_installed;
}

// A slot guarding [map, map + size); -1 when none is free (the caller reads the file instead).
int GuardMapping(const void* map, std::size_t size) {
  if (!InstallBusGuard()) return -1;
  for (int i = 0; i < kGuardSlots; ++i) {
    GuardSlot& slot = g_guards[i];
    if (slot.taken.exchange(true, std::memory_order_acq_rel)) continue;
    const auto begin = reinterpret_cast<std::uintptr_t>(map);
    slot.end.store((begin + size + g_page_size - 1) / g_page_size * g_page_size, std::memory_order_release);
    slot.begin.store(begin, std::memory_order_release);
    return i;
  }
  return -1;
}

void ReleaseGuard(int index) {
  GuardSlot& slot = g_guards[index];
  slot.begin.store(0, std::memory_order_release);
  slot.end.store(0, std::memory_order_release);
  slot.taken.store(false, std::memory_order_release);
}

}  // namespace

PostFileBytes::~PostFileBytes() {
  if (map_ == nullptr) return;
  ReleaseGuard(guard_);
  ::munmap(map_, size_);
}

bool PostFileBytes::Open(const std::string& path) {
  std::int64_t length = 0;
  const int fd = OpenDataFile(path, failure_, length);
  if (fd < 0) return false;
  size_ = static_cast<std::size_t>(length);
  if (size_ > 0) {
    void* map = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      guard_ = GuardMapping(map, size_);
      if (guard_ >= 0) {
        map_ = map;
      } else {
        ::munmap(map, size_);
      }
    }
  }
  if (map_ != nullptr) {
    data_ = static_cast<const char*>(map_);
  } else {
    // Not mappable (an odd file system) or no guard free: read it whole.
    char chunk[64 * 1024];
    ssize_t got;
    while ((got = ::read(fd, chunk, sizeof chunk)) != 0) {
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) break;
      copy_.append(chunk, static_cast<std::size_t>(got));
    }
    data_ = copy_.data();
    size_ = copy_.size();
  }
  ::close(fd);
  eol_ = LineEndByte(Bytes().substr(0, 512));
  return true;
}

void PostFileBytes::Prefetch(std::int64_t start, std::int64_t end) const {
#if defined(MADV_POPULATE_READ)
  if (map_ == nullptr || end <= start) return;
  const auto page = static_cast<std::int64_t>(::sysconf(_SC_PAGESIZE));
  const std::int64_t from = start / page * page;
  // Advice only: an old kernel refuses it and the pages come in as they are touched.
  ::madvise(static_cast<char*>(map_) + from, static_cast<std::size_t>(end - from), MADV_POPULATE_READ);
#else
  (void)start;
  (void)end;
#endif
}

}  // namespace tovra
