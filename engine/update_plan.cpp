#include "engine/update_plan.h"

#include <algorithm>

#include "resources/firmware.h"

namespace vessa::engine {

bool IsAcceptedIdentity(const protocol::Identity& identity) {
  return std::find(AcceptedIdentities.begin(), AcceptedIdentities.end(), identity) !=
         AcceptedIdentities.end();
}

std::optional<std::span<const std::uint8_t>> PlannedImageBytes(std::int32_t imageId,
                                                               std::uint32_t length) {
  const auto image = resources::FirmwareImage(imageId);
  if (!image) return std::nullopt;
  if (length == 0) return image;
  if (length > image->size()) return std::nullopt;
  return image->first(length);
}

}  // namespace vessa::engine
