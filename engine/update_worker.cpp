// One update run on the worker thread: identify the unit, check its model,
// switch it into update mode, run the plan and finish.
#include <algorithm>

#include "engine/update_context.h"
#include "engine/update_plan.h"
#include "resources/firmware.h"
#include "resources/string_table.h"

namespace vessa::engine {

using namespace resources;

namespace {

constexpr bool kPlanHasBootArea =
    std::any_of(UpdatePlan.begin(), UpdatePlan.end(),
                [](const PlanStep& step) { return step.flashAddress == kBootAreaAddress; });

std::string StepText(std::int64_t step) {
  return FormatString("%d/%d", {step, static_cast<std::int64_t>(kPlanStepCount)});
}

}  // namespace

void UpdateContext::UpdateWorker() {
  workerUi_.SetStepText(StepText(0));

  if (sender_.SendIdentityRequest() != protocol::kSent) {
    Report(kIdsCantOpenMidiOut);
    return;
  }
  if (!slot_.Wait(timings_.identityWait)) {
    Report(kIdsTimeOut1);
    return;
  }
  const std::int32_t identityStatus = slot_.ReplyStatus();
  if (identityStatus == protocol::kStatusClosing) return;
  if (identityStatus != protocol::kStatusSuccess) {
    Report(kIdsIllegalDevice);
    return;
  }

  sender_.AdoptIdentity(slot_.DeviceIdentity());
  if (!IsAcceptedIdentity(sender_.CurrentIdentity())) {
    Report(kIdsIllegalDevice);
    return;
  }
  sender_.PublishHostIdentity();

  sender_.SendEnterUpdate();
  workerUi_.SetStatusText(std::string(LoadString(kIdsErasingFlash)));
  if (!slot_.Wait(timings_.enterUpdateWait)) {
    Report(kIdsTimeOut1);
    return;
  }
  const std::int32_t enterStatus = slot_.ReplyStatus();
  // The closing window must not be touched, so the text stays as it is then.
  if (enterStatus == protocol::kStatusClosing) return;
  workerUi_.SetStatusText("");
  if (enterStatus == protocol::kStatusNotInUpdateMode) {
    Report(kIdsUseUpdateMode);
    return;
  }
  if (enterStatus != protocol::kStatusSuccess) {
    Report(kIdsTransferError);
    return;
  }
  Pause(timings_.enterUpdatePause);

  if (RunUpdatePlan() < 0) return;

  sender_.SendFinish();
  if (!slot_.Wait(timings_.finishWait)) {
    Report(kIdsTransferError);
    return;
  }
  // Any answer but the closing one completes the run.
  if (slot_.ReplyStatus() == protocol::kStatusClosing) return;

  workerUi_.SetStatusText(std::string(LoadString(kIdsUpdateCompleted)));
  workerUi_.RestoreControls();
  updateInProgress_.store(false);
  workerUi_.EnableExecute(false);
}

std::int32_t UpdateContext::RunUpdatePlan() {
  bool bootAreaDiffers = true;
  if (CheckBootArea(bootAreaDiffers) < 0) return kEngineFailed;

  for (std::size_t index = 0; index < kPlanStepCount; ++index) {
    const PlanStep& step = UpdatePlan[index];
    workerUi_.SetStepText(StepText(static_cast<std::int64_t>(index + 1)));
    const bool due = step.flashAddress != kBootAreaAddress || bootAreaDiffers;
    if (!due) continue;
    if (step.kind == kPlanErase && EraseFlash(step.flashAddress, step.length) < 0) {
      return kEngineFailed;
    }
    if (step.kind == kPlanWrite && WriteImage(step.flashAddress, step.length, step.imageId) < 0) {
      return kEngineFailed;
    }
  }
  return kEngineOk;
}

std::int32_t UpdateContext::CheckBootArea(bool& bootAreaDiffers) {
  bootAreaDiffers = true;
  if (!kPlanHasBootArea) return kEngineOk;

  dispatcher_.SetReadBackOffset(0);
  sender_.SendReadRequest(kBootTagAddress, kBootTagLength);
  // A failed read is reported: left silent, it would leave the controls
  // locked with no run going on.
  if (!slot_.Wait(timings_.bootReadWait)) return Report(kIdsTransferError);
  const std::int32_t status = slot_.ReplyStatus();
  if (status == protocol::kStatusClosing) return kEngineFailed;
  if (status != protocol::kStatusSuccess) return Report(kIdsTransferError);

  const auto image = FirmwareImage(kBootImageId);
  if (!image || image->size() < kBootTagAddress + kBootTagLength) {
    return Report(kIdsTransferError);
  }
  CurrentImage = *image;
  const auto tag = image->subspan(kBootTagAddress, kBootTagLength);
  const auto readBack = dispatcher_.ReadBack(0, kBootTagLength);
  bootAreaDiffers = !std::equal(tag.begin(), tag.end(), readBack.begin(), readBack.end());
  return kEngineOk;
}

}  // namespace vessa::engine
