#pragma once
// The About box: the application icon, the updater's fixed name and a
// copyright line, closed by OK, Escape or the close box.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace vessa::app {

class CAboutDlg : public QDialog {
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

 private:
  void OnInitDialog();

  QPushButton* okButton_ = nullptr;
  QLineEdit* nameField_ = nullptr;
};

}  // namespace vessa::app
