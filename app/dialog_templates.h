#pragma once
// The two dialog templates: sizes and control places in dialog units, and
// the control ids, which the widgets carry as their object names so tests
// and tools can find each control.

#include "app/dialog_units.h"

namespace vessa::app {

// Object names of the controls; numeric ids as text, the two standard
// buttons by their symbolic names.
namespace control_name {
inline constexpr const char* kOk = "IDOK";
inline constexpr const char* kCancel = "IDCANCEL";
inline constexpr const char* kMidiInList = "1000";
inline constexpr const char* kMidiOutList = "1001";
inline constexpr const char* kProgress = "1002";
inline constexpr const char* kStatusText = "1003";
inline constexpr const char* kRescanDevice = "1004";
inline constexpr const char* kPicture = "1005";
inline constexpr const char* kStepText = "1006";
inline constexpr const char* kMidiInLabel = "IDC_STATIC_MIDI_IN";
inline constexpr const char* kMidiOutLabel = "IDC_STATIC_MIDI_OUT";
inline constexpr const char* kAboutIcon = "IDC_STATIC_ICON";
inline constexpr const char* kCopyright = "IDC_STATIC_COPYRIGHT";
inline constexpr const char* kAboutNameText = "1003";
inline constexpr const char* kAboutAction = "IDM_ABOUTBOX";
inline constexpr const char* kErrorBox = "ErrorBox";
}  // namespace control_name

// Main dialog, template 103.
namespace main_template {
inline constexpr int kWidth = 239;
inline constexpr int kHeight = 161;
inline constexpr DialogRect kExecute{119, 138, 50, 16};
inline constexpr DialogRect kExit{182, 138, 50, 16};
inline constexpr DialogRect kMidiInLabel{7, 7, 225, 8};
inline constexpr DialogRect kMidiOutLabel{7, 37, 225, 8};
// Combo box heights include the opened list.
inline constexpr DialogRect kMidiInList{7, 15, 225, 115};
inline constexpr DialogRect kMidiOutList{7, 45, 225, 115};
inline constexpr DialogRect kProgress{7, 107, 225, 14};
inline constexpr DialogRect kStatusText{12, 91, 220, 12};
inline constexpr DialogRect kRescanDevice{145, 65, 87, 16};
inline constexpr DialogRect kPicture{7, 134, 20, 20};
inline constexpr DialogRect kStepText{12, 78, 29, 12};
}  // namespace main_template

// About box, template 100.
namespace about_template {
inline constexpr int kWidth = 235;
inline constexpr int kHeight = 60;
inline constexpr DialogRect kIcon{11, 17, 20, 20};
inline constexpr DialogRect kCopyright{40, 44, 188, 8};
inline constexpr DialogRect kOk{178, 6, 50, 16};
inline constexpr DialogRect kNameText{39, 19, 134, 14};
}  // namespace about_template

}  // namespace vessa::app
