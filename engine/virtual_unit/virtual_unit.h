#pragma once
// The device side of the protocol: a unit with 8 MiB of flash that answers
// identity requests and the update commands, with injectable faults. It talks
// through a receive call and a send function, so it can sit behind any
// transport (the loopback driver in tests, virtual ports in vessa-unit-sim).

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/trace_file.h"
#include "engine/virtual_unit/unit_options.h"

namespace vessa::engine::unit {

inline constexpr std::size_t kFlashSize = 8 * 1024 * 1024;
inline constexpr std::uint8_t kErasedByte = 0xFF;

// Result codes of the unit's acknowledgements.
inline constexpr std::uint8_t kUnitDone = protocol::kResultDone;
inline constexpr std::uint8_t kUnitNotRecognised =
    protocol::kResultNotRecognised;  // too short to carry its fields
inline constexpr std::uint8_t kUnitBadChecksum = 1;
inline constexpr std::uint8_t kUnitNeedsErase = 2;  // the write would have to set a bit
inline constexpr std::uint8_t kUnitOutOfRange = 3;  // the region leaves the flash

using UnitSend = std::function<void(std::span<const std::uint8_t>)>;

class VirtualUnit {
 public:
  VirtualUnit(UnitOptions options, UnitSend send);
  VirtualUnit(const VirtualUnit&) = delete;
  VirtualUnit& operator=(const VirtualUnit&) = delete;

  // One message from the host. Answers through the send function before it
  // returns (after the delay of a delay fault). Calls must not overlap.
  void Receive(std::span<const std::uint8_t> message);

  // Commands of a kind received so far, re-sends included.
  std::uint32_t Count(CommandKind kind) const;
  std::vector<std::uint8_t> Flash(std::uint32_t address, std::uint32_t length) const;
  // The first plan image that the flash does not hold at its plan address.
  std::optional<std::int32_t> FirstImageNotInPlace() const;
  bool DumpFlash(const std::string& path) const;

 private:
  struct Answer {
    std::vector<std::uint8_t> bytes;  // empty: no answer
    std::uint32_t delayMs = 0;
  };

  std::optional<CommandKind> Classify(std::span<const std::uint8_t> m) const;
  const FaultRule* FaultFor(CommandKind kind, std::uint32_t occurrence) const;
  Answer AnswerTo(CommandKind kind, std::span<const std::uint8_t> m);
  std::vector<std::uint8_t> Ack(std::uint8_t result) const;
  std::vector<std::uint8_t> IdentityReply() const;
  std::vector<std::uint8_t> ReadReply(std::span<const std::uint8_t> m, bool corrupt) const;
  std::uint8_t Erase(std::span<const std::uint8_t> m);
  std::uint8_t Write(std::span<const std::uint8_t> m);
  void Preload();
  void Send(std::span<const std::uint8_t> message);

  const UnitOptions options_;
  const UnitSend send_;
  std::unique_ptr<TraceFile> trace_;

  mutable std::mutex mutex_;  // the transport's thread answers while others look
  std::vector<std::uint8_t> flash_;
  std::map<CommandKind, std::uint32_t> counts_;
};

}  // namespace vessa::engine::unit
