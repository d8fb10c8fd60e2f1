// The string table's texts and the embedded images.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/update_plan.h"
#include "resources/firmware.h"
#include "resources/string_table.h"

namespace vessa::resources {
namespace {

TEST(StringTable, HoldsEveryTextExactly) {
  const std::pair<int, const char*> expected[] = {
      {101, "About ORVANE Vessa Series Updater(&A)..."},
      {102, "Time out error(1)"},
      {103, "Time out error(2)"},
      {104, "Time out error(3)"},
      {105, "Illegal device connected."},
      {106, "Please use the firmware update mode."},
      {107, "Transfer error occurred."},
      {108, "Version update completed."},
      {109, "In Progress."},
      {110, "Can't open MIDI In device."},
      {111, "Error"},
      {113, "Can't open MIDI Out device."},
      {114, "Erasing Flash memory."},
      {115, "Data transmit  %d / %d "},
  };
  for (const auto& [id, text] : expected) EXPECT_EQ(LoadString(id), text) << id;
  EXPECT_EQ(LoadString(112), "");
}

TEST(StringTable, FormatsNumbersInOrder) {
  EXPECT_EQ(FormatString(LoadString(kIdsDataTransmit), {499712, 501408}),
            "Data transmit  499712 / 501408 ");
  EXPECT_EQ(FormatString("%d/%d", {4, 10}), "4/10");
  EXPECT_EQ(FormatString("0/%d", {10}), "0/10");
}

TEST(FirmwareImages, HaveThePlanSizesAndTags) {
  const std::pair<int, std::size_t> sizes[] = {
      {142, 143360}, {133, 118784}, {129, 501408}, {139, 4096}, {136, 6946816}};
  for (const auto& [id, size] : sizes) {
    const auto image = FirmwareImage(id);
    ASSERT_TRUE(image.has_value()) << id;
    EXPECT_EQ(image->size(), size) << id;
  }
  const std::uint8_t tag[] = {0x31, 0x2E, 0x30, 0x30};
  for (int id : {142, 133}) {
    const auto image = *FirmwareImage(id);
    EXPECT_TRUE(std::equal(image.end() - 4, image.end(), tag)) << id;
  }
  EXPECT_FALSE(FirmwareImage(130).has_value());
}

TEST(FirmwareImages, AreReadInPlace) {
  EXPECT_EQ(FirmwareImage(136)->data(), FirmwareImage(136)->data());
}

TEST(FirmwareImages, FitTheRegionsErasedForThem) {
  for (const auto& write : engine::UpdatePlan) {
    if (write.kind != engine::kPlanWrite) continue;
    const auto image = FirmwareImage(write.imageId);
    const std::size_t sent = write.length == 0 ? image->size() : write.length;
    EXPECT_LE(sent, image->size());
    bool erased = false;
    for (const auto& erase : engine::UpdatePlan) {
      erased |= erase.kind == engine::kPlanErase && erase.flashAddress == write.flashAddress &&
                sent <= erase.length;
    }
    EXPECT_TRUE(erased) << write.imageId;
  }
}

}  // namespace
}  // namespace vessa::resources
