// Images linked in by the assembler (firmware_images.S). A Windows build
// would provide FirmwareImage from its resource section instead.
#include "resources/firmware.h"

extern "C" {
#define VESSA_DECLARE_IMAGE(id)                            \
  extern const std::uint8_t vessa_firmware_##id##_begin[]; \
  extern const std::uint8_t vessa_firmware_##id##_end[];
VESSA_DECLARE_IMAGE(129)
VESSA_DECLARE_IMAGE(133)
VESSA_DECLARE_IMAGE(136)
VESSA_DECLARE_IMAGE(139)
VESSA_DECLARE_IMAGE(142)
#undef VESSA_DECLARE_IMAGE
}

namespace vessa::resources {
namespace {

std::span<const std::uint8_t> Between(const std::uint8_t* begin, const std::uint8_t* end) {
  return {begin, static_cast<std::size_t>(end - begin)};
}

}  // namespace

std::optional<std::span<const std::uint8_t>> FirmwareImage(int id) {
  switch (id) {
    case 129:
      return Between(vessa_firmware_129_begin, vessa_firmware_129_end);
    case 133:
      return Between(vessa_firmware_133_begin, vessa_firmware_133_end);
    case 136:
      return Between(vessa_firmware_136_begin, vessa_firmware_136_end);
    case 139:
      return Between(vessa_firmware_139_begin, vessa_firmware_139_end);
    case 142:
      return Between(vessa_firmware_142_begin, vessa_firmware_142_end);
    default:
      return std::nullopt;
  }
}

}  // namespace vessa::resources
