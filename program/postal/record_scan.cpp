#include "record_scan.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__) && __has_include(<sys/platform/x86.h>)
#include <immintrin.h>
#if defined(__clang__)
// glibc declares the helpers of this header with C's _Bool, which clang does not take in C++.
#define _Bool bool
#include <sys/platform/x86.h>
#undef _Bool
#else
#include <sys/platform/x86.h>
#endif
#define TOVRA_HAVE_AVX2_PATH 1
#endif

#include "cp932.h"
#include "messages.h"

namespace tovra {
namespace {

constexpr std::string_view kOpenParen = msg::kRecordOpen;
constexpr std::string_view kCloseParen = msg::kRecordClose;
constexpr int kLineHead = -1;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A line that begins with one of these may be blank or begin with a comma (which ends a
// search): such lines are looked at even when they hold no hit. The published files begin
// every line with a digit.
bool MayHeadSpecialLine(unsigned char c) { return c <= ','; }

struct Parens {
  int opens = 0;
  int closes = 0;
};

Parens CountParens(std::string_view text) {
  Parens p;
  for (std::size_t i = 0; i < text.size();) {
    if (cp932::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      const std::string_view c = text.substr(i, 2);
      if (c == kOpenParen) ++p.opens;
      if (c == kCloseParen) ++p.closes;
      i += 2;
    } else {
      ++i;
    }
  }
  return p;
}

// No data file holds a NUL byte; a mapped file shortened meanwhile reads as NULs past its end.
bool HoldsNul(std::string_view text) { return std::memchr(text.data(), 0, text.size()) != nullptr; }

// "(" minus ")" of a reading (half-width text: no double-byte characters to step over).
int KanaDepth(std::string_view kana) {
  return static_cast<int>(std::count(kana.begin(), kana.end(), '(') - std::count(kana.begin(), kana.end(), ')'));
}

// --- The guard of mapped files --------------------------------------------------------------
//
// Another program may shorten a data file while it is mapped (rewriting KEN_ALL.CSV in place
// during a search). The pages past the new end then raise SIGBUS when touched. Reading the file
// instead costs several times the mapping, so a mapping is kept and guarded: a bus error inside a
// guarded mapping puts zero-filled pages over the rest of it and the access is repeated. The
// data files hold no NUL byte, so the scanner ends at the first one (RecordScanner::ReadRecord).
// A bus error anywhere else goes where the program had sent it.

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

// --- PostFileBytes ----------------------------------------------------------------------------

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

// --- RecordScanner ----------------------------------------------------------------------------

RecordScanner::RecordScanner(const PostFileBytes& file, int field_count, bool joins)
    : bytes_(file.Bytes()), eol_(file.LineEnd()), field_count_(field_count), joins_(joins) {
  SetWholeFile();
}

void RecordScanner::SetWindow(std::int64_t start, std::int64_t end) {
  bytes_read_ += static_cast<std::int64_t>(reached_ - window_start_);
  const auto size = static_cast<std::int64_t>(bytes_.size());
  if (start < 0 || start >= size || end <= start) start = end = size;
  window_start_ = static_cast<std::size_t>(start);
  window_end_ = static_cast<std::size_t>(std::min(end, size));
  // Hits are looked for up to the end of the line that crosses the window's end.
  limit_ = window_end_;
  if (limit_ > window_start_ && limit_ < bytes_.size() && bytes_[limit_ - 1] != eol_) {
    limit_ = LineAt(LineStartOf(limit_ - 1)).next;
  } else if (eol_ == '\r' && limit_ < bytes_.size() && bytes_[limit_] == '\n') {
    ++limit_;
  }
  pos_ = last_end_ = reached_ = reported_ = window_start_;
}

void RecordScanner::Look(std::vector<std::string> needles, bool joined_too) {
  std::erase_if(needles, [](const std::string& n) { return n.empty(); });
  std::sort(needles.begin(), needles.end());
  needles.erase(std::unique(needles.begin(), needles.end()), needles.end());
  needles_ = std::move(needles);
  joined_too_ = joined_too && joins_;
  if (joined_too_) needles_.emplace_back(kOpenParen);
}

RecordScanner::Line RecordScanner::LineAt(std::size_t start) const {
  Line line{start, bytes_.size(), bytes_.size()};
  const void* at = std::memchr(bytes_.data() + start, eol_, bytes_.size() - start);
  if (at == nullptr) return line;
  line.text_end = static_cast<std::size_t>(static_cast<const char*>(at) - bytes_.data());
  line.next = line.text_end + 1;
  if (eol_ == '\n' && line.text_end > start && bytes_[line.text_end - 1] == '\r') --line.text_end;
  if (eol_ == '\r' && line.next < bytes_.size() && bytes_[line.next] == '\n') ++line.next;
  return line;
}

// Start of the line holding `pos`; lines never start before the window.
std::size_t RecordScanner::LineStartOf(std::size_t pos) const {
  const std::size_t floor = window_start_;
  if (pos <= floor) return floor;
  const void* at = memrchr(bytes_.data() + floor, eol_, pos - floor);
  if (at == nullptr) return floor;
  std::size_t start = static_cast<std::size_t>(static_cast<const char*>(at) - bytes_.data()) + 1;
  if (eol_ == '\r' && start < pos && bytes_[start] == '\n') ++start;
  return start;
}

namespace {
// The widest vector search the scans may use; tests lower it to run every path on one machine.
int g_vector_width_limit = 512;
}  // namespace

#if defined(__SSE2__)
namespace {

// How far ahead of the search the next bytes are asked for. The file is seldom in the cache
// when a search starts, and the processor's own prefetching stops at every 4 KB page: a page
// ahead, the search no longer waits at each one (0.2 ms less over KEN_ALL.CSV).
constexpr std::size_t kPrefetchAhead = 4096;

// What the vector searches compare of each of N needles: its first and last bytes, and how far
// the last stands from the first.
template <std::size_t N>
struct NeedleEnds {
  explicit NeedleEnds(const std::vector<std::string>& needles) {
    for (std::size_t i = 0; i < N; ++i) {
      first[i] = needles[i].front();
      last[i] = needles[i].back();
      tail[i] = needles[i].size() - 1;
      longest = std::max(longest, needles[i].size());
    }
  }
  char first[N], last[N];
  std::size_t tail[N];
  std::size_t longest = 1;
};

// Positions where some needle's first and last bytes stand, or where a line end is followed by
// a byte up to ',' (a line that may be blank or begin with a comma), 32 positions at a time
// from `p` on; each is handed to `verify` until it accepts one. The needle count is a template
// argument so that the needles' bytes stay in registers: this loop runs over every byte.
template <std::size_t N, typename Verify>
std::size_t FindCandidate(const char* base, std::size_t size, std::size_t& p, std::size_t to, char eol_byte,
                          const std::vector<std::string>& needles, Verify verify) {
  const NeedleEnds<N> ends(needles);
  const std::size_t* const tails = ends.tail;
  const std::size_t longest = ends.longest;
  __m128i firsts[N], lasts[N];
  for (std::size_t i = 0; i < N; ++i) {
    firsts[i] = _mm_set1_epi8(ends.first[i]);
    lasts[i] = _mm_set1_epi8(ends.last[i]);
  }
  const __m128i eol = _mm_set1_epi8(eol_byte);
  const __m128i comma = _mm_set1_epi8(',');
  auto load = [base](std::size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + at)); };
  for (; p < to && p + 32 + longest <= size; p += 32) {
    _mm_prefetch(base + p + kPrefetchAhead, _MM_HINT_T0);
    const __m128i b0 = load(p), a0 = load(p + 1), b1 = load(p + 16), a1 = load(p + 17);
    __m128i h0 = _mm_and_si128(_mm_cmpeq_epi8(b0, eol), _mm_cmpeq_epi8(_mm_min_epu8(a0, comma), a0));
    __m128i h1 = _mm_and_si128(_mm_cmpeq_epi8(b1, eol), _mm_cmpeq_epi8(_mm_min_epu8(a1, comma), a1));
#pragma GCC unroll 8
    for (std::size_t i = 0; i < N; ++i) {
      h0 = _mm_or_si128(h0, _mm_and_si128(_mm_cmpeq_epi8(b0, firsts[i]), _mm_cmpeq_epi8(load(p + tails[i]), lasts[i])));
      h1 = _mm_or_si128(h1, _mm_and_si128(_mm_cmpeq_epi8(b1, firsts[i]), _mm_cmpeq_epi8(load(p + 16 + tails[i]), lasts[i])));
    }
    auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(h0)) | static_cast<std::uint32_t>(_mm_movemask_epi8(h1)) << 16;
    for (; mask != 0; mask &= mask - 1) {
      const std::size_t q = p + static_cast<std::size_t>(__builtin_ctz(mask));
      if (q >= to) return kNone;
      if (verify(q)) return q;
    }
  }
  return kNone;
}

#if defined(TOVRA_HAVE_AVX2_PATH)
// The same search 64 positions at a time, for processors that have AVX2 (chosen at run time).
template <std::size_t N, typename Verify>
__attribute__((target("avx2"))) std::size_t FindCandidateWide(const char* base, std::size_t size, std::size_t& p,
                                                              std::size_t to, char eol_byte,
                                                              const std::vector<std::string>& needles, Verify verify) {
  const NeedleEnds<N> ends(needles);
  const std::size_t* const tails = ends.tail;
  const std::size_t longest = ends.longest;
  __m256i firsts[N], lasts[N];
  for (std::size_t i = 0; i < N; ++i) {
    firsts[i] = _mm256_set1_epi8(ends.first[i]);
    lasts[i] = _mm256_set1_epi8(ends.last[i]);
  }
  const __m256i eol = _mm256_set1_epi8(eol_byte);
  const __m256i comma = _mm256_set1_epi8(',');
  auto load = [base](std::size_t at) __attribute__((target("avx2"))) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + at));
  };
  for (; p < to && p + 64 + longest <= size; p += 64) {
    _mm_prefetch(base + p + kPrefetchAhead, _MM_HINT_T0);
    const __m256i b0 = load(p), a0 = load(p + 1), b1 = load(p + 32), a1 = load(p + 33);
    __m256i h0 = _mm256_and_si256(_mm256_cmpeq_epi8(b0, eol), _mm256_cmpeq_epi8(_mm256_min_epu8(a0, comma), a0));
    __m256i h1 = _mm256_and_si256(_mm256_cmpeq_epi8(b1, eol), _mm256_cmpeq_epi8(_mm256_min_epu8(a1, comma), a1));
#pragma GCC unroll 8
    for (std::size_t i = 0; i < N; ++i) {
      // A two-byte needle's last byte is in the block already loaded one position on.
      const __m256i l0 = tails[i] == 1 ? a0 : load(p + tails[i]);
      const __m256i l1 = tails[i] == 1 ? a1 : load(p + 32 + tails[i]);
      h0 = _mm256_or_si256(h0, _mm256_and_si256(_mm256_cmpeq_epi8(b0, firsts[i]), _mm256_cmpeq_epi8(l0, lasts[i])));
      h1 = _mm256_or_si256(h1, _mm256_and_si256(_mm256_cmpeq_epi8(b1, firsts[i]), _mm256_cmpeq_epi8(l1, lasts[i])));
    }
    auto mask = static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(h0))) |
                static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(h1))) << 32;
    for (; mask != 0; mask &= mask - 1) {
      const std::size_t q = p + static_cast<std::size_t>(__builtin_ctzll(mask));
      if (q >= to) return kNone;
      if (verify(q)) return q;
    }
  }
  return kNone;
}

// The same search with AVX-512BW: one block of 64 positions, each test a mask register and the
// pair of a needle's bytes one masked compare; about half the instructions of the AVX2 loop.
template <std::size_t N, typename Verify>
__attribute__((target("avx512bw"))) std::size_t FindCandidate512(const char* base, std::size_t size, std::size_t& p,
                                                                 std::size_t to, char eol_byte,
                                                                 const std::vector<std::string>& needles,
                                                                 Verify verify) {
  const NeedleEnds<N> ends(needles);
  const std::size_t* const tails = ends.tail;
  const std::size_t longest = ends.longest;
  __m512i firsts[N], lasts[N];
  for (std::size_t i = 0; i < N; ++i) {
    firsts[i] = _mm512_set1_epi8(ends.first[i]);
    lasts[i] = _mm512_set1_epi8(ends.last[i]);
  }
  const __m512i eol = _mm512_set1_epi8(eol_byte);
  const __m512i comma = _mm512_set1_epi8(',');
  auto load = [base](std::size_t at) __attribute__((target("avx512bw"))) { return _mm512_loadu_si512(base + at); };
  for (; p < to && p + 64 + longest <= size; p += 64) {
    _mm_prefetch(base + p + kPrefetchAhead, _MM_HINT_T0);
    const __m512i b = load(p), a = load(p + 1);
    __mmask64 mask = _mm512_mask_cmple_epu8_mask(_mm512_cmpeq_epi8_mask(b, eol), a, comma);
#pragma GCC unroll 8
    for (std::size_t i = 0; i < N; ++i) {
      const __m512i l = tails[i] == 1 ? a : load(p + tails[i]);
      mask |= _mm512_mask_cmpeq_epi8_mask(_mm512_cmpeq_epi8_mask(b, firsts[i]), l, lasts[i]);
    }
    for (; mask != 0; mask &= mask - 1) {
      const std::size_t q = p + static_cast<std::size_t>(__builtin_ctzll(mask));
      if (q >= to) return kNone;
      if (verify(q)) return q;
    }
  }
  return kNone;
}

// Asked of the C library, which has looked at the processor already: the compiler's own test
// would link a constructor that asks the processor again at every start, and each of those
// questions is slow under a hypervisor.
int VectorWidth() {
  static const int widest = CPU_FEATURE_ACTIVE(AVX512BW) ? 512 : CPU_FEATURE_ACTIVE(AVX2) ? 256 : 128;
  return std::min(widest, g_vector_width_limit);
}
#else
int VectorWidth() { return std::min(128, g_vector_width_limit); }
#endif

// The widest search the processor runs, for N needles; each narrower one takes over where the
// wider one leaves the last block short, and the caller's byte loop ends the stretch.
template <std::size_t N, typename Verify>
std::size_t FindCandidateAny(const char* base, std::size_t size, std::size_t& p, std::size_t to, char eol_byte,
                             const std::vector<std::string>& needles, Verify verify) {
  const int width = VectorWidth();
#if defined(TOVRA_HAVE_AVX2_PATH)
  if (width >= 512) {
    const std::size_t hit = FindCandidate512<N>(base, size, p, to, eol_byte, needles, verify);
    if (hit != kNone || p >= to) return hit;
  }
  if (width >= 256) {
    const std::size_t hit = FindCandidateWide<N>(base, size, p, to, eol_byte, needles, verify);
    if (hit != kNone || p >= to) return hit;
  }
#endif
  if (width < 128) return kNone;
  return FindCandidate<N>(base, size, p, to, eol_byte, needles, verify);
}

}  // namespace
#endif

namespace test_seams {
void LimitVectorWidth(int bits) { g_vector_width_limit = bits; }
}  // namespace test_seams

// The first position in [from, to) where a needle starts or a line that may be special begins
// (reported at its preceding line end, kind kLineHead); kNone when there is none.
std::size_t RecordScanner::FindHit(std::size_t from, std::size_t to, int& kind) const {
  const char* const base = bytes_.data();
  const std::size_t size = bytes_.size();
  auto kind_at = [&](std::size_t q) {
    if (base[q] == eol_ && q + 1 < size && MayHeadSpecialLine(static_cast<unsigned char>(base[q + 1]))) {
      kind = kLineHead;
      return true;
    }
    for (std::size_t i = 0; i < needles_.size(); ++i) {
      const std::string& n = needles_[i];
      // The end bytes first: the candidate is most often another needle's.
      if (q + n.size() > size || base[q] != n.front() || base[q + n.size() - 1] != n.back()) continue;
      if (n.size() > 2 && std::memcmp(base + q + 1, n.data() + 1, n.size() - 2) != 0) continue;
      // Most "（" close on their own line: passed over here, without leaving the search.
      if (joined_too_ && i + 1 == needles_.size() && !MayOpenRecord(q)) continue;
      kind = static_cast<int>(i);
      return true;
    }
    return false;
  };
  std::size_t p = from;
  std::size_t hit = kNone;
#if defined(__SSE2__)
  switch (needles_.size()) {
    case 1: hit = FindCandidateAny<1>(base, size, p, to, eol_, needles_, kind_at); break;
    case 2: hit = FindCandidateAny<2>(base, size, p, to, eol_, needles_, kind_at); break;
    case 3: hit = FindCandidateAny<3>(base, size, p, to, eol_, needles_, kind_at); break;
    case 4: hit = FindCandidateAny<4>(base, size, p, to, eol_, needles_, kind_at); break;
    case 5: hit = FindCandidateAny<5>(base, size, p, to, eol_, needles_, kind_at); break;
    default: break;  // more forms than any key folds into: the plain loop below
  }
  if (hit != kNone || p >= to) return hit;
#endif
  for (; p < to; ++p) {
    if (kind_at(p)) return p;
  }
  return kNone;
}

// A "（" starts a joined record only when its line does not close it again.
bool RecordScanner::MayOpenRecord(std::size_t paren) const {
  const std::size_t from = paren + kOpenParen.size();
  const Line line = LineAt(from);
  const std::string_view rest = bytes_.substr(from, line.text_end - from);
  return rest.find(kCloseParen) == std::string_view::npos;
}

// The first line of the record that holds the line at `line_start`: back over the lines with
// the same postal code that hold no parenthesis, to a line that opens one (the record's start)
// or one that cannot belong to it.
std::size_t RecordScanner::RecordStart(std::size_t line_start) const {
  if (!joins_) return line_start;
  const std::size_t floor = std::max(window_start_, last_end_);
  // A line's postal code (field 3) and town (field 9), as the split of the record gives them.
  auto code_and_town = [this](std::size_t start, std::string_view& code, std::string_view& town) {
    const Line line = LineAt(start);
    if (SplitTwoFields(bytes_.substr(start, line.text_end - start), 3, 9, code, town) != SplitResult::kFields) {
      return false;
    }
    code = Unquoted(code);
    town = Unquoted(town);
    return true;
  };
  std::string_view code, town, before_code, before_town;
  if (!code_and_town(line_start, code, town)) return line_start;
  std::size_t cur = line_start;
  for (int n = 1; n < kMaxJoinedLines && cur > floor; ++n) {
    std::size_t prev_end = cur - 1;  // the previous line's line end
    if (eol_ == '\r' && bytes_[prev_end] == '\n' && prev_end > floor && bytes_[prev_end - 1] == '\r') --prev_end;
    const std::size_t prev = LineStartOf(prev_end);
    if (!code_and_town(prev, before_code, before_town) || before_code != code) break;
    const Parens p = CountParens(before_town);
    if (p.opens > p.closes) return prev;
    if (p.opens > 0 || p.closes > 0) break;
    cur = prev;
  }
  return line_start;
}

RecordScanner::Step RecordScanner::Next(PostRecord& record, std::size_t& consumed) {
  auto report = [&](std::size_t upto) {
    upto = std::max(upto, reported_);
    consumed = upto - reported_;
    reported_ = upto;
    reached_ = std::max(reached_, upto);
  };
  const bool every_record = needles_.empty();
  for (;;) {
    std::size_t start;
    if (every_record) {
      start = std::max(pos_, last_end_);
      if (start >= window_end_) break;
    } else {
      std::size_t line_start;
      int kind = 0;
      if (pos_ == last_end_ && pos_ < limit_ && MayHeadSpecialLine(static_cast<unsigned char>(bytes_[pos_]))) {
        // The line right after the last record (or the window's first): its line end was
        // passed already, so the search below would not report it.
        line_start = pos_;
        ++pos_;
      } else {
        const std::size_t hit = FindHit(pos_, limit_, kind);
        if (hit == kNone) break;
        if (kind == kLineHead) {
          line_start = LineAt(hit).next;
          if (line_start >= window_end_) break;
          pos_ = line_start;
        } else {
          pos_ = hit + 1;
          line_start = LineStartOf(hit);
        }
      }
      if (line_start < last_end_) {
        pos_ = std::max(pos_, last_end_);
        continue;
      }
      // A line right after the last record begins one of its own.
      start = line_start == last_end_ ? line_start : RecordStart(line_start);
    }
    bool blank = false;
    const Step step = ReadRecord(start, record, blank);
    if (step == Step::kEnd) break;
    if (blank) continue;
    report(step == Step::kRecord ? last_end_ : LineAt(start).next);
    return step;
  }
  pos_ = limit_;
  report(limit_);
  return Step::kEnd;
}

RecordScanner::Step RecordScanner::ReadRecord(std::size_t start, PostRecord& record, bool& blank) {
  const Line first = LineAt(start);
  if (HoldsNul(bytes_.substr(start, first.text_end - start))) {
    // What a file shortened during the search reads as past its new end: the data ends here.
    pos_ = last_end_ = limit_;
    return Step::kEnd;
  }
  const SplitResult split = SplitPostLine(bytes_.substr(start, first.text_end - start), field_count_, record);
  std::size_t end = first.next;
  blank = split == SplitResult::kBlank;
  if (split == SplitResult::kLeadingComma) return Step::kLeadingComma;
  if (!blank) {
    UnquoteFields(record, field_count_);
    if (joins_) end = JoinContinuations(record, end);
  }
  last_end_ = end;
  pos_ = std::max(pos_, end);
  return Step::kRecord;
}

// Appends the town and kana fields of the lines that continue the record and returns the end
// of its last line. The record ends where its "（" closes, the postal code changes, or the file
// ends. A reading short enough for one line is repeated on every line of the record instead of
// split: it is appended only while its own "(" is open.
std::size_t RecordScanner::JoinContinuations(PostRecord& record, std::size_t end) {
  const Parens own = CountParens(record[9]);
  int depth = own.opens - own.closes;
  if (depth <= 0) return end;
  int kana_depth = KanaDepth(record[6]);
  town_.assign(record[9]);
  kana_.assign(record[6]);
  PostRecord next;
  for (int n = 1; depth > 0 && n < kMaxJoinedLines && end < bytes_.size(); ++n) {
    const Line line = LineAt(end);
    const std::string_view text = bytes_.substr(end, line.text_end - end);
    if (HoldsNul(text) || SplitPostLine(text, field_count_, next) != SplitResult::kFields) break;
    UnquoteFields(next, field_count_);
    if (next[3] != record[3]) break;
    town_ += next[9];
    if (kana_depth > 0) {
      kana_ += next[6];
      kana_depth += KanaDepth(next[6]);
    }
    const Parens p = CountParens(next[9]);
    depth += p.opens - p.closes;
    end = line.next;
  }
  record.field[8] = town_;
  record.field[5] = kana_;
  return end;
}

}  // namespace tovra
