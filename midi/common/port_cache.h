#pragma once
// One direction's port list of a backend, taken afresh whenever its count is
// asked: an index means the port that stood at that place when the list was
// last counted, which is what the operator saw.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace vessa::midi {

template <typename Port>
class PortCache {
 public:
  using Lister = std::function<std::vector<Port>()>;

  explicit PortCache(Lister list) : list_(std::move(list)) {}

  std::uint32_t Refresh() {
    std::vector<Port> fresh = list_();
    std::lock_guard lock(mutex_);
    ports_ = std::move(fresh);
    return static_cast<std::uint32_t>(ports_->size());
  }

  // Nothing when the index is past the list. Counts first if nobody has yet.
  std::optional<Port> At(std::uint32_t index) {
    if (!Counted()) Refresh();
    std::lock_guard lock(mutex_);
    if (index >= ports_->size()) return std::nullopt;
    return (*ports_)[index];
  }

 private:
  bool Counted() {
    std::lock_guard lock(mutex_);
    return ports_.has_value();
  }

  const Lister list_;
  std::mutex mutex_;
  std::optional<std::vector<Port>> ports_;
};

}  // namespace vessa::midi
