#pragma once
// A borderless read-only text field that looks like part of the dialog yet
// takes focus, so its text can be selected and copied.

class QLineEdit;

namespace vessa::app {

void MakeReadOnlyField(QLineEdit& field);

}  // namespace vessa::app
