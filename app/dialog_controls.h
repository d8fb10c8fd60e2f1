#pragma once
// The controls both dialogs are built from, each named by its control id and
// placed by its template rectangle.

#include <Qt>

#include "app/dialog_units.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vessa::app {

// A fixed dialog with a title, a system menu and a close box.
inline constexpr Qt::WindowFlags kDialogWindowFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint;

QLabel* CreateLabel(QWidget& parent, const char* name, const char* text, const DialogRect& rect,
                    const DialogUnits& units);
QPushButton* CreateButton(QWidget& parent, const char* name, const char* text,
                          const DialogRect& rect, const DialogUnits& units);
// A borderless read-only text field that looks like part of the dialog yet
// takes focus, so its text can be selected and copied.
QLineEdit* CreateReadOnlyField(QWidget& parent, const char* name, const DialogRect& rect,
                               const DialogUnits& units);

}  // namespace vessa::app
