#pragma once
// The part of the raw MIDI backend that knows nothing of ALSA: framing SysEx
// messages out of a MIDI byte stream, a reader thread over pollable
// descriptors, and a writer that pushes every byte out within a time limit.
// Plain file descriptors (pipes, pseudo-terminals) work as sources and sinks,
// which is how this part is exercised without sound hardware.

#include <poll.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <thread>
#include <vector>

#include "midi/driver.h"

namespace vessa::midi::alsa {

// A longer message is handed on in pieces of the port's receive buffer size,
// and the framer never holds more.
inline constexpr std::size_t kMaxSysExPiece = kReceiveBufferSize;

using MessageSink = std::function<void(std::span<const std::uint8_t>)>;

// Turns a byte stream into SysEx messages (0xF0 .. 0xF7). Real-time bytes are
// skipped wherever they fall; everything outside a SysEx message is dropped;
// any other status byte inside one discards the unfinished message.
class SysExFramer {
 public:
  explicit SysExFramer(MessageSink sink);

  void Feed(std::span<const std::uint8_t> bytes);
  // Forgets an unfinished message.
  void Reset();

 private:
  void Accept(std::uint8_t byte);
  void HandOn();

  MessageSink sink_;
  std::vector<std::uint8_t> pending_;
  bool inSysEx_ = false;
};

// Where the reader takes its bytes from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Descriptors to poll for input; they stay valid while the source lives.
  virtual std::vector<pollfd> PollDescriptors() = 0;
  // Bytes read (> 0), 0 when nothing is there now, < 0 when the stream has
  // ended or failed for good. Never blocks.
  virtual long Read(std::uint8_t* buffer, std::size_t size) = 0;
};

// Where the writer puts its bytes.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Bytes taken (> 0), 0 when the sink is full now, < 0 on a lasting error.
  // Never blocks.
  virtual long Write(const std::uint8_t* data, std::size_t size) = 0;
  // Waits at most `limit` for room; false on an error (not on time-out).
  virtual bool WaitWritable(std::chrono::milliseconds limit) = 0;
  // Waits at most `limit` until every byte taken has left; false when it
  // has not or the sink failed.
  virtual bool Drain(std::chrono::milliseconds limit) = 0;
};

// Polls the descriptors for at most `limit`; false when one has hung up or
// failed (not on time-out, and not when a signal cut the wait short).
bool WaitForRoom(std::span<pollfd> descriptors, std::chrono::milliseconds limit);

// A non-blocking plain file descriptor; not owned.
class FdSource : public ByteSource {
 public:
  explicit FdSource(int fd) : fd_(fd) {}
  std::vector<pollfd> PollDescriptors() override;
  long Read(std::uint8_t* buffer, std::size_t size) override;

 private:
  int fd_;
};

// A non-blocking plain file descriptor; not owned. A terminal is drained
// through its output queue; anything else counts as drained once written.
class FdSink : public ByteSink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  long Write(const std::uint8_t* data, std::size_t size) override;
  bool WaitWritable(std::chrono::milliseconds limit) override;
  bool Drain(std::chrono::milliseconds limit) override;

 private:
  int fd_;
};

// Writes every byte of `bytes`, waiting for room as often as needed, then
// drains; false on a sink error or when `limit` runs out first.
bool WriteAll(ByteSink& sink, std::span<const std::uint8_t> bytes, std::chrono::milliseconds limit);

// Asks `done` about once a millisecond until it holds (true) or `limit` runs
// out (false); for states that can only be asked about, not waited on.
template <typename Predicate>
bool PollUntil(Predicate done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// A thread that reads a source and frames its bytes into `sink` while
// started. Start and Stop are called from one controlling thread; Stop wakes
// the reader at once, and no sink call runs after it returns.
class ByteStreamReader {
 public:
  ByteStreamReader(ByteSource& source, MessageSink sink);
  ~ByteStreamReader();
  ByteStreamReader(const ByteStreamReader&) = delete;
  ByteStreamReader& operator=(const ByteStreamReader&) = delete;

  // False when the wake-up descriptor or the thread could not be made.
  bool Start();
  void Stop();

 private:
  void Run();

  ByteSource& source_;
  MessageSink sink_;
  int wakeFd_ = -1;
  std::thread thread_;
};

}  // namespace vessa::midi::alsa
