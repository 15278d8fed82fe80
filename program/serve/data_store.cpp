#include "data_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "collecting_view.h"
#include "cp932.h"
#include "post_index.h"
#include "searches.h"
#include "startup.h"

namespace tovra::serve {
namespace {

// Keeps the messages the engine would show; the first one explains a refusal.
class LoadView : public CollectingView {
 public:
  void ShowMessage(const std::string& text, const std::string& /*caption*/) override {
    if (message.empty()) message = cp932::ToUtf8(text);
  }
  std::string message;
};

// The descriptor's path, which reaches the opened file whatever happens to its name.
std::string DescriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Opens a regular file for the life of the dataset; -1 when it is missing or not regular.
int OpenDataFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// The stamps of both files as they are now, in one text.
std::string StampsNow(const std::string& ken_path, const std::string& jig_path) {
  std::string ken, jig;
  GetFileStampText(ken_path, ken);
  GetFileStampText(jig_path, jig);
  return ken + "|" + jig;
}

std::string Name(PostFile file) { return file == PostFile::kKenAll ? "KEN_ALL.CSV" : "JIGYOSYO.CSV"; }

// Checks the file's index (building it when the recorded stamp is not the file's) and reads
// every line once; empty when the file can serve, else why not.
std::string CheckFile(Settings& settings, PostFile file) {
  LoadView view;
  SearchContext ctx{view, settings};
  SearchStatus built = SearchStatus::kOk;
  CheckPostIndex(ctx, file, nullptr, &built);
  if (built != SearchStatus::kOk) {
    return Name(file) + " cannot be indexed" + (view.message.empty() ? "" : ": " + view.message);
  }
  // A key no field holds: the scan reads every line and stops at a broken one.
  const std::string nothing = "\x01";
  const SearchResult scan = file == PostFile::kKenAll ? ScanKenAll(ctx, nothing, ScanMode::kWords)
                                                      : ScanJigyosyo(ctx, nothing, ScanMode::kWords);
  if (!scan.ok()) return Name(file) + " is broken" + (view.message.empty() ? "" : ": " + view.message);
  return {};
}

}  // namespace

resolve::Resolution Dataset::Resolve(std::string_view address, resolve::ResolveOptions options) const {
  options.offices = options.offices && has_business;
  std::lock_guard<std::mutex> lock(resolver_mutex_);
  return resolver_.Resolve(address, options);
}

bool Dataset::LoadTowns(std::string* error) {
  std::string why;
  if (!resolver_.Load(settings.ken_all_path, why)) {
    *error = ken_path + ": the towns cannot be read for written addresses: " + why;
    return false;
  }
  if (has_business && !resolver_.LoadOffices(settings.jigyosyo_path, why)) {
    *error = jig_path + ": the offices cannot be read for written addresses: " + why;
    return false;
  }
  return true;
}

Dataset::~Dataset() {
  if (ken_fd >= 0) ::close(ken_fd);
  if (jig_fd >= 0) ::close(jig_fd);
}

std::shared_ptr<const Dataset> LoadDataset(const DataSource& source, int generation, std::string* log) {
  auto data = std::make_shared<Dataset>();
  Settings& s = data->settings;
  LoadSettings(source.ini_path, source.program_dir, s);
  RunOverrides overrides;
  overrides.ken_all_path = source.ken;
  overrides.jigyosyo_path = source.jig;
  ApplyOverrides(overrides, s);
  data->ken_path = s.ken_all_path;
  data->jig_path = s.jigyosyo_path;
  data->generation = generation;

  // The stamp is taken before the file is opened: a file replaced in between looks changed to
  // the next stamp check, which then loads it again.
  GetFileStampText(data->ken_path, data->ken_stamp);
  data->ken_fd = OpenDataFile(data->ken_path);
  if (data->ken_fd < 0) {
    *log = data->ken_path + ": KEN_ALL.CSV is missing or not a regular file";
    return nullptr;
  }
  s.ken_all_path = DescriptorPath(data->ken_fd);
  if (std::string why = CheckFile(s, PostFile::kKenAll); !why.empty()) {
    *log = data->ken_path + ": " + why;
    return nullptr;
  }

  GetFileStampText(data->jig_path, data->jig_stamp);
  data->jig_fd = OpenDataFile(data->jig_path);
  data->has_business = data->jig_fd >= 0;
  if (data->has_business) {
    s.jigyosyo_path = DescriptorPath(data->jig_fd);
    if (std::string why = CheckFile(s, PostFile::kJigyosyo); !why.empty()) {
      *log = data->jig_path + ": " + why;
      return nullptr;
    }
  } else {
    data->jig_stamp.clear();
  }
  if (!data->LoadTowns(log)) return nullptr;
  *log = "loaded " + data->ken_path + (data->has_business ? " and " + data->jig_path : " (no JIGYOSYO.CSV)") +
         ", generation " + std::to_string(generation);
  return data;
}

bool DataStore::Reload(std::string* log) {
  std::lock_guard<std::mutex> one_at_a_time(reload_mutex_);
  std::shared_ptr<const Dataset> fresh = LoadDataset(source_, generation_ + 1, log);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!fresh) {
    if (current_) {
      *log += "; the data loaded before keeps serving";
      refused_stamps_ = StampsNow(current_->ken_path, current_->jig_path);
    }
    return false;
  }
  ++generation_;
  current_ = std::move(fresh);
  refused_stamps_.clear();
  return true;
}

std::shared_ptr<const Dataset> DataStore::Current() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

bool DataStore::FilesChanged() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!current_) return true;
  const std::string now = StampsNow(current_->ken_path, current_->jig_path);
  return now != current_->ken_stamp + "|" + current_->jig_stamp && now != refused_stamps_;
}

}  // namespace tovra::serve
