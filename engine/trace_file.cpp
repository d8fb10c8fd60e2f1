#include "engine/trace_file.h"

namespace vessa::engine {
namespace {

std::string TraceLine(char direction, std::span<const std::uint8_t> message) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line(1, direction);
  line.reserve(1 + 3 * message.size());
  for (const std::uint8_t byte : message) {
    line += ' ';
    line += kHex[byte >> 4];
    line += kHex[byte & 0x0F];
  }
  return line;
}

}  // namespace

TraceFile::TraceFile(const std::string& path) : out_(path, std::ios::trunc) {}

void TraceFile::Write(char direction, std::span<const std::uint8_t> message) {
  const std::string line = TraceLine(direction, message);
  std::lock_guard lock(mutex_);
  out_ << line << '\n';
  out_.flush();
}

}  // namespace vessa::engine
