#pragma once
// The fixed ten-step plan that rewrites the unit's flash, the identities the
// program serves, and where the boot-area tag sits.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "protocol/messages.h"

namespace vessa::engine {

enum PlanKind : std::int32_t { kPlanErase = 1, kPlanWrite = 2 };

struct PlanStep {
  std::int32_t kind;
  std::uint32_t flashAddress;
  std::uint32_t length;  // write: 0 means the image's whole size
  std::int32_t imageId;  // erase: 0
};

inline constexpr std::size_t kPlanStepCount = 10;

inline constexpr std::array<PlanStep, kPlanStepCount> UpdatePlan = {{
    {kPlanErase, 0xDF000, 0x1000, 0},
    {kPlanErase, 0x23000, 0x1D000, 0},
    {kPlanWrite, 0x23000, 0, 133},
    {kPlanErase, 0, 0x23000, 0},
    {kPlanWrite, 0, 0, 142},
    {kPlanErase, 0x40000, 0x9F000, 0},
    {kPlanWrite, 0x40000, 0, 129},
    {kPlanErase, 0x160000, 0x6A0000, 0},
    {kPlanWrite, 0x160000, 0x6A0000, 136},
    {kPlanWrite, 0xDF000, 0, 139},
}};

// The boot area is the region at flash address 0; its last four bytes carry
// the version tag of image 142.
inline constexpr std::uint32_t kBootAreaAddress = 0;
inline constexpr std::uint32_t kBootTagAddress = 0x22FFC;
inline constexpr std::uint32_t kBootTagLength = 4;
inline constexpr std::int32_t kBootImageId = 142;

inline constexpr std::uint32_t kWriteChunkSize = 4096;

// Entries 1 and 2 are equal: two distinct identities in three entries.
inline constexpr std::array<protocol::Identity, 3> AcceptedIdentities = {{
    {0x6E, 0x00, 0x02, 0x00},
    {0x6E, 0x00, 0x02, 0x00},
    {0x6E, 0x00, 0x01, 0x00},
}};

bool IsAcceptedIdentity(const protocol::Identity& identity);

// The bytes a write step puts in flash: the first `length` bytes of the
// image, or all of it when `length` is 0. Nothing when the image is missing
// or shorter than `length`.
std::optional<std::span<const std::uint8_t>> PlannedImageBytes(std::int32_t imageId,
                                                               std::uint32_t length);

}  // namespace vessa::engine
