#include "midi/alsa/byte_stream.h"

#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

namespace vessa::midi::alsa {
namespace {

constexpr std::uint8_t kSysExEnd = 0xF7;
constexpr std::uint8_t kFirstRealTime = 0xF8;
constexpr std::uint8_t kFirstStatus = 0x80;

// One read per wake-up keeps Stop prompt even under a steady stream.
constexpr std::size_t kReadChunk = 1024;

constexpr short kHangUp = POLLERR | POLLHUP | POLLNVAL;

bool IsRealTime(std::uint8_t byte) {
  return byte >= kFirstRealTime;
}
bool IsStatus(std::uint8_t byte) {
  return byte >= kFirstStatus;
}

// Rounds up so that a fraction of a millisecond left still waits, rather
// than spinning on zero-length waits.
std::chrono::milliseconds Remaining(std::chrono::steady_clock::time_point deadline) {
  return std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
}

}  // namespace

SysExFramer::SysExFramer(MessageSink sink) : sink_(std::move(sink)) {
  pending_.reserve(kMaxSysExPiece);
}

void SysExFramer::Feed(std::span<const std::uint8_t> bytes) {
  for (std::uint8_t byte : bytes) Accept(byte);
}

void SysExFramer::Reset() {
  pending_.clear();
  inSysEx_ = false;
}

void SysExFramer::Accept(std::uint8_t byte) {
  if (IsRealTime(byte)) return;
  if (byte == kSysExStart) {
    // A start inside a message abandons the old one: it can never be whole.
    Reset();
    inSysEx_ = true;
    pending_.push_back(byte);
    return;
  }
  if (!inSysEx_) return;
  if (IsStatus(byte) && byte != kSysExEnd) {
    Reset();
    return;
  }
  pending_.push_back(byte);
  if (byte == kSysExEnd) {
    HandOn();
    inSysEx_ = false;
  } else if (pending_.size() == kMaxSysExPiece) {
    HandOn();
  }
}

void SysExFramer::HandOn() {
  sink_(pending_);
  pending_.clear();
}

std::vector<pollfd> FdSource::PollDescriptors() {
  return {pollfd{fd_, POLLIN, 0}};
}

long FdSource::Read(std::uint8_t* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, size);
    if (got > 0) return got;
    if (got == 0) return -1;  // end of stream
    if (errno == EINTR) continue;
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
  }
}

long FdSink::Write(const std::uint8_t* data, std::size_t size) {
  for (;;) {
    const ssize_t taken = ::write(fd_, data, size);
    if (taken >= 0) return taken;
    if (errno == EINTR) continue;
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
  }
}

bool WaitForRoom(std::span<pollfd> descriptors, std::chrono::milliseconds limit) {
  const int ready = ::poll(descriptors.data(), descriptors.size(), static_cast<int>(limit.count()));
  if (ready < 0) return errno == EINTR;
  return std::none_of(descriptors.begin(), descriptors.end(),
                      [](const pollfd& d) { return (d.revents & kHangUp) != 0; });
}

bool FdSink::WaitWritable(std::chrono::milliseconds limit) {
  pollfd descriptor{fd_, POLLOUT, 0};
  return WaitForRoom({&descriptor, 1}, limit);
}

bool FdSink::Drain(std::chrono::milliseconds limit) {
  // Not a terminal (ioctl fails): the kernel has the bytes, nothing to wait for.
  return PollUntil(
      [this] {
        int queued = 0;
        return ::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued == 0;
      },
      limit);
}

bool WriteAll(ByteSink& sink, std::span<const std::uint8_t> bytes,
              std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    const long taken = sink.Write(bytes.data() + offset, bytes.size() - offset);
    if (taken < 0) return false;
    if (taken > 0) {
      offset += static_cast<std::size_t>(taken);
      continue;
    }
    const auto left = Remaining(deadline);
    if (left <= std::chrono::milliseconds::zero()) return false;
    if (!sink.WaitWritable(left)) return false;
  }
  return sink.Drain(std::max(Remaining(deadline), std::chrono::milliseconds::zero()));
}

ByteStreamReader::ByteStreamReader(ByteSource& source, MessageSink sink)
    : source_(source), sink_(std::move(sink)) {}

ByteStreamReader::~ByteStreamReader() {
  Stop();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool ByteStreamReader::Start() {
  if (thread_.joinable()) return true;
  if (wakeFd_ < 0) wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) return false;
  thread_ = std::thread(&ByteStreamReader::Run, this);
  return true;
}

void ByteStreamReader::Stop() {
  if (!thread_.joinable()) return;
  const std::uint64_t wake = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &wake, sizeof wake);
  thread_.join();
  // Clear the wake-up so that the next Start does not end at once.
  std::uint64_t cleared = 0;
  [[maybe_unused]] const ssize_t read = ::read(wakeFd_, &cleared, sizeof cleared);
}

void ByteStreamReader::Run() {
  SysExFramer framer(sink_);
  std::vector<pollfd> descriptors = source_.PollDescriptors();
  const std::size_t wakeIndex = descriptors.size();
  descriptors.push_back(pollfd{wakeFd_, POLLIN, 0});
  std::array<std::uint8_t, kReadChunk> buffer{};

  for (;;) {
    if (::poll(descriptors.data(), descriptors.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (descriptors[wakeIndex].revents != 0) return;
    short events = 0;
    for (std::size_t i = 0; i < wakeIndex; ++i) events |= descriptors[i].revents;
    if (events == 0) continue;

    const long got = source_.Read(buffer.data(), buffer.size());
    if (got < 0) return;
    // A hang-up with nothing to read would wake poll for ever: the device is gone.
    if (got == 0 && (events & kHangUp) != 0) return;
    framer.Feed(std::span(buffer.data(), static_cast<std::size_t>(got)));
  }
}

}  // namespace vessa::midi::alsa
