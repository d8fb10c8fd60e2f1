// Real copies of vessa-updater taking instance numbers side by side. Each
// copy reports its number through the instance test hook and holds it until
// its stdin closes; each test has a runtime folder of its own.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace vessa::app {
namespace {

constexpr int kReadPatienceMs = 120000;
constexpr const char* kRefusal =
    "refused: It is forbidden to launch more than 20 instance of this application.";

class UpdaterProcess {
 public:
  explicit UpdaterProcess(const std::vector<std::string>& environment) {
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    std::vector<char*> envp;
    for (const std::string& entry : environment) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(VESSA_UPDATER_PATH), nullptr};
    if (posix_spawn(&pid_, VESSA_UPDATER_PATH, &actions, nullptr, argv, envp.data()) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    stdin_ = toChild[1];
    stdout_ = fromChild[0];
  }

  ~UpdaterProcess() {
    if (stdin_ >= 0) close(stdin_);  // the copy ends on end of file
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    if (stdout_ >= 0) close(stdout_);
  }

  // The copy's report line, or empty when it said nothing.
  std::string ReadLine() {
    std::string line;
    char c;
    while (true) {
      pollfd fd{stdout_, POLLIN, 0};
      if (poll(&fd, 1, kReadPatienceMs) <= 0) break;
      if (read(stdout_, &c, 1) != 1 || c == '\n') break;
      line += c;
    }
    return line;
  }

  void Kill() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int stdin_ = -1;
  int stdout_ = -1;
};

class InstanceNumbering : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vessa-instance-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    runtime_ = pattern;
    for (char** entry = environ; *entry != nullptr; ++entry) {
      if (std::string(*entry).rfind("XDG_RUNTIME_DIR=", 0) != 0) environment_.push_back(*entry);
    }
    environment_.push_back("XDG_RUNTIME_DIR=" + runtime_.string());
    environment_.push_back("QT_QPA_PLATFORM=offscreen");
    environment_.push_back("VESSA_UPDATER_TEST_REPORT_INSTANCE=1");
  }
  void TearDown() override {
    copies_.clear();
    std::filesystem::remove_all(runtime_);
  }

  UpdaterProcess& Start() {
    copies_.push_back(std::make_unique<UpdaterProcess>(environment_));
    return *copies_.back();
  }

  std::filesystem::path runtime_;
  std::vector<std::string> environment_;
  std::vector<std::unique_ptr<UpdaterProcess>> copies_;
};

TEST_F(InstanceNumbering, TwentyOneCopiesAtOnceTakeOneToTwentyAndOneIsRefused) {
  for (int i = 0; i < 21; ++i) Start();
  std::multiset<std::string> reports;
  for (auto& copy : copies_) reports.insert(copy->ReadLine());

  EXPECT_EQ(reports.count(kRefusal), 1u);
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(reports.count("instance " + std::to_string(n)), 1u) << "number " << n;
  }
}

TEST_F(InstanceNumbering, AKilledCopysNumberGoesToTheNextCopy) {
  ASSERT_EQ(Start().ReadLine(), "instance 1");
  UpdaterProcess& second = Start();
  ASSERT_EQ(second.ReadLine(), "instance 2");
  ASSERT_EQ(Start().ReadLine(), "instance 3");

  second.Kill();
  EXPECT_EQ(Start().ReadLine(), "instance 2");
  EXPECT_EQ(Start().ReadLine(), "instance 4");
}

TEST_F(InstanceNumbering, ANumberHeldByAFolderIsSkipped) {
  std::filesystem::create_directory(runtime_ / "ORVANE Rk5 System v2.00 Updater (2)");
  EXPECT_EQ(Start().ReadLine(), "instance 1");
  EXPECT_EQ(Start().ReadLine(), "instance 3");
}

}  // namespace
}  // namespace vessa::app
