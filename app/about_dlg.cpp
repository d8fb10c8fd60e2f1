#include "app/about_dlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_icon.h"
#include "app/dialog_templates.h"
#include "app/read_only_field.h"
#include "platform/instance_lock.h"

namespace vessa::app {
namespace {

constexpr const char* kCaption = "About Vessa Series Updater";
constexpr const char* kCopyrightLine = "Copyright (C) ORVANE. All rights reserved.";
constexpr int kIconPixels = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setFont(DialogFont());
  const DialogUnits units = DialogUnits::ForFont(font());
  setWindowTitle(kCaption);
  setFixedSize(units.ToPixels(about_template::kWidth, about_template::kHeight));

  // Created in template order, which is also the tab order.
  auto* icon = new QLabel(this);
  icon->setObjectName(control_name::kAboutIcon);
  icon->setPixmap(ApplicationIcon().pixmap(kIconPixels, kIconPixels));
  icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  icon->setGeometry(units.ToPixels(about_template::kIcon));

  auto* copyright = new QLabel(kCopyrightLine, this);
  copyright->setObjectName(control_name::kCopyright);
  copyright->setGeometry(units.ToPixels(about_template::kCopyright));

  okButton_ = new QPushButton("OK", this);
  okButton_->setObjectName(control_name::kOk);
  okButton_->setDefault(true);
  okButton_->setGeometry(units.ToPixels(about_template::kOk));
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

  nameField_ = new QLineEdit(this);
  nameField_->setObjectName(control_name::kAboutNameText);
  MakeReadOnlyField(*nameField_);
  nameField_->setGeometry(units.ToPixels(about_template::kNameText));

  setTabOrder(okButton_, nameField_);
  OnInitDialog();
}

void CAboutDlg::OnInitDialog() {
  // The box names the product, never the running instance.
  nameField_->setText(platform::kUpdaterName);
  nameField_->setCursorPosition(0);
  okButton_->setFocus();
}

}  // namespace vessa::app
