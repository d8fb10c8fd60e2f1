#include "resources/string_table.h"

#include <array>
#include <utility>

namespace vessa::resources {
namespace {

constexpr std::array<std::pair<int, std::string_view>, 14> kStringTable = {{
    {kIdsAboutItem, "About ORVANE Vessa Series Updater(&A)..."},
    {kIdsTimeOut1, "Time out error(1)"},
    {kIdsTimeOut2, "Time out error(2)"},
    {kIdsTimeOut3, "Time out error(3)"},
    {kIdsIllegalDevice, "Illegal device connected."},
    {kIdsUseUpdateMode, "Please use the firmware update mode."},
    {kIdsTransferError, "Transfer error occurred."},
    {kIdsUpdateCompleted, "Version update completed."},
    {kIdsInProgress, "In Progress."},
    {kIdsCantOpenMidiIn, "Can't open MIDI In device."},
    {kIdsErrorCaption, "Error"},
    {kIdsCantOpenMidiOut, "Can't open MIDI Out device."},
    {kIdsErasingFlash, "Erasing Flash memory."},
    // Two blanks after "transmit" and one at the end belong to the text.
    {kIdsDataTransmit, "Data transmit  %d / %d "},
}};

constexpr std::string_view kNumberField = "%d";

}  // namespace

std::string_view LoadString(int id) {
  for (const auto& [entryId, text] : kStringTable) {
    if (entryId == id) return text;
  }
  return {};
}

std::string FormatString(std::string_view format, std::initializer_list<std::int64_t> numbers) {
  std::string text;
  auto next = numbers.begin();
  std::size_t pos = 0;
  while (pos < format.size()) {
    const std::size_t field = format.find(kNumberField, pos);
    if (field == std::string_view::npos || next == numbers.end()) break;
    text.append(format.substr(pos, field - pos));
    text += std::to_string(*next++);
    pos = field + kNumberField.size();
  }
  text.append(format.substr(pos));
  return text;
}

}  // namespace vessa::resources
