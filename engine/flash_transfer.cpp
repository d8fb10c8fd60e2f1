// Erasing one flash region and writing one image, every command acknowledged
// by the unit before the next goes out.
#include "engine/update_context.h"
#include "engine/update_plan.h"
#include "resources/string_table.h"

namespace vessa::engine {

using namespace resources;

namespace {

constexpr std::int32_t kEraseProgressRange = 10;
constexpr std::int32_t kEraseProgressSent = 1;
// Failures in a row that a command survives: one more ends the operation.
constexpr std::int32_t kEraseFailuresAllowed = 6;
constexpr std::int32_t kChunkFailuresAllowed = 31;

}  // namespace

std::int32_t UpdateContext::EraseFlash(std::uint32_t address, std::uint32_t length) {
  workerUi_.SetProgressRange(0, kEraseProgressRange);
  std::int32_t failures = 0;
  for (;;) {
    sender_.SendEraseCommand(sender_.ModelByte(), address, length);
    workerUi_.SetProgressPos(kEraseProgressSent);
    workerUi_.SetStatusText(std::string(LoadString(kIdsErasingFlash)));
    // A missing answer is never followed by a re-send.
    if (!slot_.Wait(timings_.eraseWait)) return Report(kIdsTimeOut3);
    const std::int32_t status = slot_.ReplyStatus();
    if (status == protocol::kStatusSuccess) {
      workerUi_.SetProgressPos(kEraseProgressRange);
      return kEngineOk;
    }
    if (status == protocol::kStatusClosing) return kEngineFailed;
    if (failures >= kEraseFailuresAllowed) return Report(kIdsTransferError);
    ++failures;
    Pause(timings_.retryPause);
  }
}

std::int32_t UpdateContext::WriteImage(std::uint32_t address, std::uint32_t length,
                                       std::int32_t imageId) {
  // A missing image, or a length the image cannot supply, is reported before
  // a single byte is read from it.
  const auto bytes = PlannedImageBytes(imageId, length);
  if (!bytes || bytes->empty()) return Report(kIdsTransferError);
  CurrentImage = *bytes;
  CurrentImageSize = static_cast<std::int32_t>(bytes->size());

  workerUi_.SetProgressRange(0, CurrentImageSize);
  std::int32_t offset = 0;
  std::int32_t chunkLength = kWriteChunkSize;
  std::int32_t failures = 0;
  for (;;) {
    if (offset + chunkLength > CurrentImageSize) chunkLength = CurrentImageSize - offset;
    sender_.SendWriteCommand(sender_.ModelByte(), CurrentImage.data() + offset,
                             address + static_cast<std::uint32_t>(offset),
                             static_cast<std::uint32_t>(chunkLength));
    workerUi_.SetStatusText(FormatString(LoadString(kIdsDataTransmit), {offset, CurrentImageSize}));

    if (!slot_.Wait(timings_.writeChunkWait)) {
      if (failures >= kChunkFailuresAllowed) return Report(kIdsTimeOut2);
      ++failures;
      Pause(timings_.retryPause);
      continue;
    }
    const std::int32_t status = slot_.ReplyStatus();
    if (status == protocol::kStatusSuccess) {
      failures = 0;
      offset += chunkLength;
      workerUi_.SetProgressPos(offset);
      if (offset >= CurrentImageSize) return kEngineOk;
      continue;
    }
    if (status == protocol::kStatusClosing) return kEngineFailed;
    if (failures >= kChunkFailuresAllowed) return Report(kIdsTransferError);
    ++failures;
    Pause(timings_.retryPause);
  }
}

}  // namespace vessa::engine
