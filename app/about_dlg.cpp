#include "app/about_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_icon.h"
#include "app/dialog_controls.h"
#include "app/dialog_templates.h"
#include "platform/instance_lock.h"

namespace vessa::app {
namespace {

constexpr const char* kCaption = "About Vessa Series Updater";
constexpr const char* kCopyrightLine = "Copyright (C) ORVANE. All rights reserved.";
constexpr int kIconPixels = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, kDialogWindowFlags) {
  setFont(DialogFont());
  const DialogUnits units = DialogUnits::ForFont(font());
  setWindowTitle(kCaption);
  setFixedSize(units.ToPixels(about_template::kWidth, about_template::kHeight));

  // Created in template order, which is also the tab order.
  QLabel* icon = CreateLabel(*this, control_name::kAboutIcon, "", about_template::kIcon, units);
  icon->setPixmap(ApplicationIcon().pixmap(kIconPixels, kIconPixels));
  icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  CreateLabel(*this, control_name::kCopyright, kCopyrightLine, about_template::kCopyright, units);
  okButton_ = CreateButton(*this, control_name::kOk, "OK", about_template::kOk, units);
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  nameField_ =
      CreateReadOnlyField(*this, control_name::kAboutNameText, about_template::kNameText, units);

  OnInitDialog();
}

void CAboutDlg::OnInitDialog() {
  // The box names the product, never the running instance.
  nameField_->setText(platform::kUpdaterName);
  nameField_->setCursorPosition(0);
  okButton_->setFocus();
}

}  // namespace vessa::app
