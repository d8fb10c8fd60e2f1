#pragma once
// A record of SysEx traffic, one message a line: '>' sent or '<' received,
// then the bytes as two-digit upper-case hex separated by blanks.

#include <cstdint>
#include <fstream>
#include <mutex>
#include <span>
#include <string>

namespace vessa::engine {

class TraceFile {
 public:
  explicit TraceFile(const std::string& path);
  bool IsOpen() const { return out_.is_open(); }
  // Safe from any thread; lines never interleave.
  void Write(char direction, std::span<const std::uint8_t> message);

 private:
  std::mutex mutex_;
  std::ofstream out_;
};

}  // namespace vessa::engine
