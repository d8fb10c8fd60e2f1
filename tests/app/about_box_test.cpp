#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <string>

#include "dialog_fixture.h"
#include "qt_test_environment.h"

namespace vessa::app::testing {
namespace {

constexpr const char* kFixedName = "ORVANE Rk5 System v2.00 Updater";

struct SeenAbout {
  QString caption;
  QString nameText;
  bool nameReadOnly = false;
  bool nameTakesTabFocus = false;
};

TEST_F(DialogFixture, AboutItemOpensTheBoxWithTheFixedNameInAnyInstance) {
  Open(5);
  ASSERT_TRUE(dialog_->windowTitle().endsWith("(5)"));
  auto* about = dialog_->findChild<QAction*>(control_name::kAboutAction);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(), "About ORVANE Vessa Series Updater(&A)...");

  SeenAbout seen;
  ModalWatcher watcher(
      [&](QWidget& box) {
        auto* name = box.findChild<QLineEdit*>(control_name::kAboutNameText);
        seen = {box.windowTitle(), name ? name->text() : "", name && name->isReadOnly(),
                name && (name->focusPolicy() & Qt::TabFocus)};
        box.findChild<QPushButton*>(control_name::kOk)->click();
      },
      dialog_.get());
  about->trigger();  // returns once the box is closed

  ASSERT_TRUE(watcher.Handled());
  EXPECT_EQ(seen.caption, "About Vessa Series Updater");
  EXPECT_EQ(seen.nameText, kFixedName);
  EXPECT_TRUE(seen.nameReadOnly);
  EXPECT_TRUE(seen.nameTakesTabFocus);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

struct AboutCommandCase {
  const char* what;
  unsigned commandId;
  std::function<void(QWidget&)> close;
};

// Test listings show the case, not its bytes.
void PrintTo(const AboutCommandCase& c, std::ostream* os) {
  *os << c.what;
}

class AboutCommand : public DialogFixture,
                     public ::testing::WithParamInterface<AboutCommandCase> {};

TEST_P(AboutCommand, OpensTheBoxAndClosesItAgain) {
  Open(1);
  const AboutCommandCase& c = GetParam();
  ModalWatcher watcher(c.close, dialog_.get());
  dialog_->OnSysCommand(c.commandId);
  EXPECT_TRUE(watcher.Handled());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

void ClickOk(QWidget& box) {
  box.findChild<QPushButton*>(control_name::kOk)->click();
}
void PressEscape(QWidget& box) {
  QTest::keyClick(&box, Qt::Key_Escape);
}

INSTANTIATE_TEST_SUITE_P(MainDialog, AboutCommand,
                         ::testing::Values(AboutCommandCase{"OK", 0x10, ClickOk},
                                           AboutCommandCase{"Escape", 0x10, PressEscape},
                                           // Only the command's upper bits name it.
                                           AboutCommandCase{"low bits set", 0x1F, ClickOk}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(DialogFixture, F1OpensTheAboutBox) {
  Open(1);
  dialog_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  ModalWatcher watcher(ClickOk, dialog_.get());
  QTest::keyClick(dialog_.get(), Qt::Key_F1);
  EXPECT_TRUE(watcher.Handled());
}

TEST_F(DialogFixture, OtherCommandsOpenNoBox) {
  Open(1);
  ModalWatcher watcher([](QWidget& box) { box.close(); }, dialog_.get());
  dialog_->OnSysCommand(0x20);
  QApplication::processEvents();
  EXPECT_FALSE(watcher.Handled());
}

}  // namespace
}  // namespace vessa::app::testing
