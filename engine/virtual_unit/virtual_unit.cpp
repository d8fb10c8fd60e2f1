#include "engine/virtual_unit/virtual_unit.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "engine/update_plan.h"
#include "protocol/crc32.h"
#include "protocol/encodings.h"
#include "protocol/messages.h"

namespace vessa::engine::unit {

using namespace protocol;

namespace {

constexpr std::size_t kEraseMinSize = kEraseLengthOffset + kSevenBitIntSize;
constexpr std::size_t kReadMinSize = kReadLengthOffset + kSevenBitIntSize;

bool FitsFlash(std::uint32_t address, std::uint32_t length) {
  return address <= kFlashSize && length <= kFlashSize - address;
}

// The plan's write steps with the number of image bytes each puts in flash.
template <typename Visit>
bool ForEachPlannedImage(Visit visit) {
  for (const PlanStep& step : UpdatePlan) {
    if (step.kind != kPlanWrite) continue;
    const auto bytes = PlannedImageBytes(step.imageId, step.length);
    if (!bytes || !visit(step, *bytes)) return false;
  }
  return true;
}

}  // namespace

VirtualUnit::VirtualUnit(UnitOptions options, UnitSend send)
    : options_(std::move(options)), send_(std::move(send)), flash_(kFlashSize, kErasedByte) {
  if (!options_.traceFile.empty()) trace_ = std::make_unique<TraceFile>(options_.traceFile);
  if (options_.preload) Preload();
}

void VirtualUnit::Preload() {
  ForEachPlannedImage([this](const PlanStep& step, std::span<const std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), flash_.begin() + step.flashAddress);
    return true;
  });
}

void VirtualUnit::Receive(std::span<const std::uint8_t> message) {
  if (trace_) trace_->Write('<', message);
  const auto kind = Classify(message);
  if (!kind) return;
  Answer answer;
  {
    std::lock_guard lock(mutex_);
    answer = AnswerTo(*kind, message);
  }
  if (answer.bytes.empty()) return;
  if (answer.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMs));
  Send(answer.bytes);
}

void VirtualUnit::Send(std::span<const std::uint8_t> message) {
  if (trace_) trace_->Write('>', message);
  send_(message);
}

std::optional<CommandKind> VirtualUnit::Classify(std::span<const std::uint8_t> m) const {
  if (m.size() < kCommandOffset + 1 || m[0] != kSysExStart) return std::nullopt;
  if (m[1] == kUniversalFamily) {
    if (m[3] == kGeneralInformation && m[4] == kIdentityRequestSubId) return CommandKind::kIdentity;
    return std::nullopt;
  }
  if (m[1] != kDeviceFamily) return std::nullopt;
  switch (m[kCommandOffset]) {
    case kEnterUpdate:
      return CommandKind::kEnter;
    case kWrite:
      return CommandKind::kWrite;
    case kFinish:
      return CommandKind::kFinish;
    case kErase:
      return CommandKind::kErase;
    case kRead:
      if (m.size() > 5 && m[5] == kReadRequestMarker) return CommandKind::kRead;
      return std::nullopt;
    default:  // the host's acknowledgements and anything unknown
      return std::nullopt;
  }
}

const FaultRule* VirtualUnit::FaultFor(CommandKind kind, std::uint32_t occurrence) const {
  for (const FaultRule& rule : options_.faults) {
    if (rule.kind == kind && occurrence >= rule.first && occurrence <= rule.last) return &rule;
  }
  return nullptr;
}

VirtualUnit::Answer VirtualUnit::AnswerTo(CommandKind kind, std::span<const std::uint8_t> m) {
  const std::uint32_t occurrence = ++counts_[kind];
  const FaultRule* fault = FaultFor(kind, occurrence);
  Answer answer;
  if (fault && fault->action == FaultAction::kDrop) return answer;
  if (fault && fault->action == FaultAction::kDelay) answer.delayMs = fault->delayMs;
  // An error answer leaves the unit as it was.
  if (fault && fault->action == FaultAction::kError) {
    answer.bytes = Ack(fault->code);
    return answer;
  }
  const bool corrupt = fault && fault->action == FaultAction::kCorrupt;
  switch (kind) {
    case CommandKind::kIdentity:
      answer.bytes = IdentityReply();
      break;
    case CommandKind::kRead:
      answer.bytes = ReadReply(m, corrupt);
      break;
    case CommandKind::kErase:
      answer.bytes = Ack(Erase(m));
      break;
    case CommandKind::kWrite:
      answer.bytes = Ack(Write(m));
      break;
    case CommandKind::kEnter:
    case CommandKind::kFinish:
      answer.bytes = Ack(kUnitDone);
      break;
  }
  return answer;
}

std::vector<std::uint8_t> VirtualUnit::Ack(std::uint8_t result) const {
  std::vector<std::uint8_t> out(kAckSize);
  BuildAck(out.data(), options_.identity[0], result);
  return out;
}

std::vector<std::uint8_t> VirtualUnit::IdentityReply() const {
  std::vector<std::uint8_t> out(kIdentityReplySize);
  BuildUnitIdentityReply(out.data(), options_.identity);
  return out;
}

std::vector<std::uint8_t> VirtualUnit::ReadReply(std::span<const std::uint8_t> m,
                                                 bool corrupt) const {
  if (m.size() < kReadMinSize) return Ack(kUnitNotRecognised);
  const std::uint32_t address = DecodeSevenBitInt(&m[kReadAddressOffset]);
  const std::uint32_t length = DecodeSevenBitInt(&m[kReadLengthOffset]);
  if (length > kMaxTwoByteLength || !FitsFlash(address, length)) return Ack(kUnitOutOfRange);
  std::vector<std::uint8_t> out(ReadReplySize(length));
  const std::size_t size =
      BuildReadReply(out.data(), options_.identity[0], &flash_[address], length);
  out.resize(size);
  if (corrupt) out[kReadReplyDataOffset + PackedLength(length)] ^= 0x01;
  return out;
}

std::uint8_t VirtualUnit::Erase(std::span<const std::uint8_t> m) {
  if (m.size() < kEraseMinSize) return kUnitNotRecognised;
  const std::uint32_t address = DecodeSevenBitInt(&m[kEraseAddressOffset]);
  const std::uint32_t length = DecodeSevenBitInt(&m[kEraseLengthOffset]);
  if (!FitsFlash(address, length)) return kUnitOutOfRange;
  std::fill_n(flash_.begin() + address, length, kErasedByte);
  return kUnitDone;
}

std::uint8_t VirtualUnit::Write(std::span<const std::uint8_t> m) {
  if (m.size() < kWriteDataOffset) return kUnitNotRecognised;
  const std::uint32_t address = DecodeSevenBitInt(&m[kWriteAddressOffset]);
  const std::uint32_t length = DecodeTwoByteLength(&m[kWriteLengthOffset]);
  const std::uint32_t packed = PackedLength(length);
  if (m.size() < kWriteDataOffset + packed + kSevenBitIntSize) return kUnitNotRecognised;
  std::vector<std::uint8_t> data(length);
  UnpackData(data.data(), &m[kWriteDataOffset], packed);
  if (Crc32(data.data(), length) != DecodeSevenBitInt(&m[kWriteDataOffset + packed])) {
    return kUnitBadChecksum;
  }
  if (!FitsFlash(address, length)) return kUnitOutOfRange;
  // Flash programming only clears bits; setting one needs an erase first.
  const auto target = flash_.begin() + address;
  for (std::uint32_t i = 0; i < length; ++i) {
    if ((target[i] & data[i]) != data[i]) return kUnitNeedsErase;
  }
  std::copy(data.begin(), data.end(), target);
  return kUnitDone;
}

std::uint32_t VirtualUnit::Count(CommandKind kind) const {
  std::lock_guard lock(mutex_);
  const auto it = counts_.find(kind);
  return it == counts_.end() ? 0 : it->second;
}

std::vector<std::uint8_t> VirtualUnit::Flash(std::uint32_t address, std::uint32_t length) const {
  std::lock_guard lock(mutex_);
  if (!FitsFlash(address, length)) return {};
  return {flash_.begin() + address, flash_.begin() + address + length};
}

std::optional<std::int32_t> VirtualUnit::FirstImageNotInPlace() const {
  std::lock_guard lock(mutex_);
  std::optional<std::int32_t> missing;
  const bool allKnown =
      ForEachPlannedImage([&](const PlanStep& step, std::span<const std::uint8_t> bytes) {
        if (!std::equal(bytes.begin(), bytes.end(), flash_.begin() + step.flashAddress)) {
          missing = step.imageId;
          return false;
        }
        return true;
      });
  if (!allKnown && !missing) missing = -1;
  return missing;
}

bool VirtualUnit::DumpFlash(const std::string& path) const {
  std::lock_guard lock(mutex_);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(flash_.data()),
            static_cast<std::streamsize>(flash_.size()));
  return static_cast<bool>(out);
}

}  // namespace vessa::engine::unit
