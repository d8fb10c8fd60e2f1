#pragma once
// Every text the operator sees (apart from titles and captions), by its fixed id.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vessa::resources {

enum StringId : int {
  kIdsAboutItem = 101,
  kIdsTimeOut1 = 102,
  kIdsTimeOut2 = 103,
  kIdsTimeOut3 = 104,
  kIdsIllegalDevice = 105,
  kIdsUseUpdateMode = 106,
  kIdsTransferError = 107,
  kIdsUpdateCompleted = 108,
  kIdsInProgress = 109,
  kIdsCantOpenMidiIn = 110,
  kIdsErrorCaption = 111,
  kIdsCantOpenMidiOut = 113,
  kIdsErasingFlash = 114,
  kIdsDataTransmit = 115,
};

// The text of a string id; empty for an id the table does not hold.
std::string_view LoadString(int id);

// The text with each "%d" replaced by the next number, in order.
std::string FormatString(std::string_view format, std::initializer_list<std::int64_t> numbers);

}  // namespace vessa::resources
