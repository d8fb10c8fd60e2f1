#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace vessa::platform {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kLockFileMode = 0600;

// A folder we may keep locks in: a real directory (not a link), ours, and
// not writable by anybody else.
bool IsPrivateFolder(const std::filesystem::path& folder) {
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 0022) == 0;
}

class NoInstanceLock : public InstanceLock {
 public:
  bool TryAcquire(const std::string&) override { return false; }
};

}  // namespace

std::string InstanceName(int number) {
  if (number == 1) return kUpdaterName;
  char text[64];
  std::snprintf(text, sizeof text, "%s (%d)", kUpdaterName, number);
  return text;
}

std::string RefusalText() {
  char text[128];
  std::snprintf(text, sizeof text,
                "It is forbidden to launch more than %d instance of this application.",
                kMaxInstances);
  return text;
}

int AcquireInstanceNumber(InstanceLock& lock) {
  for (int number = 1; number <= kMaxInstances; ++number) {
    if (lock.TryAcquire(InstanceName(number))) return number;
  }
  return 0;
}

FileInstanceLock::FileInstanceLock(std::filesystem::path folder) : folder_(std::move(folder)) {}

FileInstanceLock::~FileInstanceLock() {
  for (int fd : heldDescriptors_) close(fd);
}

bool FileInstanceLock::TryAcquire(const std::string& name) {
  const std::filesystem::path file = folder_ / name;
  // O_NOFOLLOW: a planted link must not make us create or lock another file.
  // A folder of that name fails to open for writing and is skipped.
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kLockFileMode);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  heldDescriptors_.push_back(fd);
  return true;
}

std::filesystem::path DefaultLockFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    if (IsPrivateFolder(runtime)) return runtime;
  }
  const std::filesystem::path folder =
      std::filesystem::path("/tmp") / ("vessa-updater-" + std::to_string(getuid()));
  mkdir(folder.c_str(), kPrivateFolderMode);  // may exist already; checked next
  if (IsPrivateFolder(folder)) return folder;
  return {};
}

std::unique_ptr<InstanceLock> CreateSystemInstanceLock() {
  const auto folder = DefaultLockFolder();
  if (folder.empty()) return std::make_unique<NoInstanceLock>();
  return std::make_unique<FileInstanceLock>(folder);
}

}  // namespace vessa::platform
