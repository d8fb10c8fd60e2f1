#pragma once
// Instance numbering between running copies: one named lock per number 1..20,
// taken in one atomic step, held for the life of the process and released by
// the system when the process ends in any way (a crash included).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vessa::platform {

inline constexpr int kMaxInstances = 20;

// The updater's fixed name: the first instance's lock name and title, and the
// About box's name text.
inline constexpr const char* kUpdaterName = "ORVANE Rk5 System v2.00 Updater";

// The lock name of an instance number, which is also the window title.
std::string InstanceName(int number);

// What a copy says when every number is taken.
std::string RefusalText();

class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // Takes the lock of this name and keeps it until the object is gone. False
  // when another holder has it or it cannot be taken at all.
  virtual bool TryAcquire(const std::string& name) = 0;
};

// The lowest free number from 1 to kMaxInstances, now held by `lock`; 0 when
// every number is taken.
int AcquireInstanceNumber(InstanceLock& lock);

// Locks as files in one folder, with an exclusive non-blocking flock each. The
// files are never deleted: deleting would let two copies lock different files
// of the same name.
class FileInstanceLock : public InstanceLock {
 public:
  explicit FileInstanceLock(std::filesystem::path folder);
  ~FileInstanceLock() override;
  FileInstanceLock(const FileInstanceLock&) = delete;
  FileInstanceLock& operator=(const FileInstanceLock&) = delete;

  bool TryAcquire(const std::string& name) override;

 private:
  std::filesystem::path folder_;
  std::vector<int> heldDescriptors_;
};

// The folder for the system's locks: $XDG_RUNTIME_DIR when usable, else a
// private per-user folder under /tmp (created 0700, ownership checked).
// Empty when neither is usable.
std::filesystem::path DefaultLockFolder();

// A lock in the default folder; one that takes nothing when there is none.
std::unique_ptr<InstanceLock> CreateSystemInstanceLock();

}  // namespace vessa::platform
