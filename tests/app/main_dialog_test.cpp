#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "dialog_fixture.h"
#include "qt_test_environment.h"

namespace vessa::app::testing {
namespace {

// What an error box showed before the watcher dismissed it with OK.
struct SeenBox {
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

std::function<void(QWidget&)> RecordAndDismiss(SeenBox& seen) {
  return [&seen](QWidget& modal) {
    auto* box = qobject_cast<QMessageBox*>(&modal);
    if (box == nullptr) return;
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    box->button(QMessageBox::Ok)->click();
  };
}

// ---- Preselection -------------------------------------------------------

struct PreselectionCase {
  const char* what;
  int instance;
  std::vector<std::string> ports;
  int expected;
};

// Test listings show the case, not its bytes.
void PrintTo(const PreselectionCase& c, std::ostream* os) {
  *os << c.what;
}

class Preselection : public DialogFixture,
                     public ::testing::WithParamInterface<PreselectionCase> {};

TEST_P(Preselection, SelectsTheLastPortNamedForTheInstance) {
  const PreselectionCase& c = GetParam();
  for (const std::string& name : c.ports) silentDevices_.push_back(driver_->AddDevice(name));
  Open(c.instance);

  for (QComboBox* list : {&MidiIn(), &MidiOut()}) {
    ASSERT_EQ(list->count(), static_cast<int>(c.ports.size()));
    EXPECT_EQ(list->currentIndex(), c.expected) << list->objectName().toStdString();
  }
  // Execute stays available whether or not anything matched.
  EXPECT_EQ(State(), ControlState::kReady);
}

const std::string kJapaneseName =
    "USB \xE3\x82\xAA\xE3\x83\xBC\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xAA "
    "\xE3\x83\x87\xE3\x83\x90\xE3\x82\xA4\xE3\x82\xB9";

INSTANTIATE_TEST_SUITE_P(
    MainDialog, Preselection,
    ::testing::Values(
        PreselectionCase{"instance 1, exact name", 1, {"Midi Through", "USB Audio Device"}, 1},
        PreselectionCase{"instance 1, maker's name", 1, {"ORVANE Vessa Series", "Other"}, 0},
        PreselectionCase{"instance 2, numbered name",
                         2,
                         {"USB Audio Device", "USB Audio Device (2)", "Other"},
                         1},
        PreselectionCase{
            "instance 2, bare names only", 2, {"USB Audio Device", "ORVANE Vessa Series"}, -1},
        PreselectionCase{"letter case differs",
                         1,
                         {"usb audio device", "ORVANE VESSA SERIES", "Usb Audio Device"},
                         -1},
        PreselectionCase{"the last match wins over an earlier base name",
                         1,
                         {"USB Audio Device", "Other", "ORVANE Vessa Series", "Other"},
                         2},
        PreselectionCase{"Japanese name, instance 1", 1, {"Other", kJapaneseName}, 1},
        PreselectionCase{"Japanese name, instance 3",
                         3,
                         {kJapaneseName + " (3)", kJapaneseName, "USB Audio Device (2)"},
                         0},
        PreselectionCase{"no devices at all", 1, {}, -1}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(DialogFixture, RescanRebuildsTheListsAndPreselectsAgain) {
  silentDevices_.push_back(driver_->AddDevice("Other"));
  Open(1);
  MidiIn().setCurrentIndex(0);
  silentDevices_.push_back(driver_->AddDevice(kUnitPortName));
  Rescan().click();
  EXPECT_EQ(MidiIn().count(), 2);
  EXPECT_EQ(MidiIn().currentIndex(), 1);
  EXPECT_EQ(MidiOut().currentIndex(), 1);
}

// ---- Window -------------------------------------------------------------

TEST_F(DialogFixture, TitleCarriesTheInstanceNumberFromTwoOn) {
  Open(1);
  EXPECT_EQ(dialog_->windowTitle(), "ORVANE Rk5 System v2.00 Updater");
  dialog_.reset();
  Open(12);
  EXPECT_EQ(dialog_->windowTitle(), "ORVANE Rk5 System v2.00 Updater (12)");
}

TEST_F(DialogFixture, TabOrderFollowsTheTemplate) {
  Open(1);
  std::vector<std::string> order;
  QWidget* widget = &Execute();
  do {
    if (widget->focusPolicy() & Qt::TabFocus) order.push_back(widget->objectName().toStdString());
    widget = widget->nextInFocusChain();
  } while (widget != &Execute() && order.size() < 20);
  EXPECT_EQ(order,
            (std::vector<std::string>{"IDOK", "IDCANCEL", "1000", "1001", "1003", "1004", "1006"}));
}

// ---- Update runs --------------------------------------------------------

TEST_F(DialogFixture, ExecuteRunsTheUpdateToCompletion) {
  units_.push_back(std::make_unique<engine::unit::LoopbackUnit>(*driver_, kUnitPortName));
  Open(1);
  Execute().click();
  EXPECT_EQ(State(), ControlState::kRunning);

  // The worker still makes window calls after clearing the flag, and they
  // need this thread's event loop: wait for it to end, then join.
  ASSERT_TRUE(WaitUntil([&] { return !dialog_->Context().WorkerRunning(); }));
  dialog_->Context().JoinWorker();
  EXPECT_EQ(StatusText().text(), "Version update completed.");
  EXPECT_EQ(StepText().text(), "10/10");
  EXPECT_GT(Progress().maximum(), 0);
  EXPECT_EQ(Progress().value(), Progress().maximum());
  EXPECT_EQ(units_[0]->Unit().FirstImageNotInPlace(), std::nullopt);

  EXPECT_EQ(State(), ControlState::kCompleted) << "Execute waits for Rescan Device";
  Rescan().click();
  EXPECT_EQ(State(), ControlState::kReady);
}

struct FailureCase {
  const char* what;
  bool unitAnswers;
  protocol::Identity identity;
  const char* text;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.what;
}

class FailedRun : public DialogFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailedRun, ShowsOneErrorBoxThenTheControlsAreBack) {
  const FailureCase& c = GetParam();
  if (c.unitAnswers) {
    engine::unit::UnitOptions options;
    options.identity = c.identity;
    units_.push_back(
        std::make_unique<engine::unit::LoopbackUnit>(*driver_, kUnitPortName, options));
  } else {
    silentDevices_.push_back(driver_->AddDevice(kUnitPortName));
  }
  engine::EngineTimings timings = FastTimings();
  timings.identityWait = std::chrono::milliseconds(50);
  Open(1, timings);

  SeenBox seen;
  ModalWatcher watcher(RecordAndDismiss(seen), dialog_.get());
  Execute().click();
  ASSERT_TRUE(WaitUntil([&] { return watcher.Handled() && !dialog_->Context().WorkerRunning(); }));

  EXPECT_EQ(seen.caption, "Error");
  EXPECT_EQ(seen.text, c.text);
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);
  EXPECT_EQ(State(), ControlState::kReady);
}

INSTANTIATE_TEST_SUITE_P(
    MainDialog, FailedRun,
    ::testing::Values(
        FailureCase{"silent unit", false, {}, "Time out error(1)"},
        FailureCase{"unknown model", true, {0x6E, 0x00, 0x03, 0x00}, "Illegal device connected."}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(DialogFixture, ExecuteDuringARunSaysInProgressAndTheRunGoesOn) {
  silentDevices_.push_back(driver_->AddDevice(kUnitPortName));
  Open(1, WaitingTimings());
  Execute().click();
  ASSERT_EQ(State(), ControlState::kRunning);

  SeenBox seen;
  ModalWatcher watcher(RecordAndDismiss(seen), dialog_.get());
  // The button is disabled; Enter is still the Execute command.
  QTest::keyClick(dialog_.get(), Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] { return watcher.Handled(); }));
  EXPECT_EQ(seen.text, "In Progress.");
  EXPECT_EQ(State(), ControlState::kRunning);
  EXPECT_TRUE(dialog_->Context().WorkerRunning());
}

TEST_F(DialogFixture, EnterInAPortListStartsAnUpdateAndTheDialogStaysOpen) {
  silentDevices_.push_back(driver_->AddDevice(kUnitPortName));
  Open(1, WaitingTimings());
  QTest::keyClick(&MidiIn(), Qt::Key_Return);
  EXPECT_EQ(State(), ControlState::kRunning);
  EXPECT_TRUE(dialog_->isVisible());
}

// ---- Closing ------------------------------------------------------------

struct ClosingCase {
  const char* what;
  std::function<void(CTq2UpdatorDlg&)> close;
};

void PrintTo(const ClosingCase& c, std::ostream* os) {
  *os << c.what;
}

class ClosingDuringARun : public DialogFixture,
                          public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(ClosingDuringARun, EndsTheWaitingWorkerQuietlyAndClosesThePorts) {
  silentDevices_.push_back(driver_->AddDevice(kUnitPortName));
  Open(1, WaitingTimings());
  Execute().click();
  ASSERT_EQ(State(), ControlState::kRunning);

  SeenBox seen;
  ModalWatcher watcher(RecordAndDismiss(seen), dialog_.get());
  GetParam().close(*dialog_);
  QApplication::processEvents();

  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_FALSE(dialog_->Context().WorkerRunning());
  EXPECT_FALSE(watcher.Handled()) << "a closing run shows no message: " << seen.text.toStdString();
  const std::uint8_t identityReply[] = {0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0xF7};
  EXPECT_FALSE(silentDevices_[0]->Send(identityReply)) << "the input port is still open";
}

INSTANTIATE_TEST_SUITE_P(
    MainDialog, ClosingDuringARun,
    ::testing::Values(ClosingCase{"Exit",
                                  [](CTq2UpdatorDlg& d) {
                                    d.findChild<QPushButton*>(control_name::kCancel)->click();
                                  }},
                      ClosingCase{"Escape",
                                  [](CTq2UpdatorDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
                      ClosingCase{"close box", [](CTq2UpdatorDlg& d) { d.close(); }}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(DialogFixture, ClosingWhileAnErrorBoxHoldsTheWorkerClosesTheBoxToo) {
  silentDevices_.push_back(driver_->AddDevice(kUnitPortName));
  engine::EngineTimings timings = FastTimings();
  timings.identityWait = std::chrono::milliseconds(20);
  Open(1, timings);

  ModalWatcher watcher([&](QWidget&) { dialog_->reject(); }, dialog_.get());
  Execute().click();
  ASSERT_TRUE(WaitUntil([&] { return watcher.Handled() && !dialog_->isVisible(); }));

  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_FALSE(dialog_->Context().WorkerRunning());
}

}  // namespace
}  // namespace vessa::app::testing
