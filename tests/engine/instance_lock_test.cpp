// Instance numbering with file locks, several "copies" in one process.
#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace vessa::platform {
namespace {

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("vessa-lock-test-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::unique_ptr<FileInstanceLock> NewCopy() {
    return std::make_unique<FileInstanceLock>(folder_);
  }

  std::filesystem::path folder_;
};

TEST(InstanceName, FirstIsPlainOthersNumbered) {
  EXPECT_EQ(InstanceName(1), "ORVANE Rk5 System v2.00 Updater");
  EXPECT_EQ(InstanceName(2), "ORVANE Rk5 System v2.00 Updater (2)");
  EXPECT_EQ(InstanceName(20), "ORVANE Rk5 System v2.00 Updater (20)");
}

TEST(InstanceName, RefusalNamesTheHighestNumberInTheSingular) {
  EXPECT_EQ(RefusalText(), "It is forbidden to launch more than 20 instance of this application.");
}

TEST_F(InstanceLockTest, CopiesTakeTheLowestFreeNumber) {
  auto first = NewCopy();
  auto second = NewCopy();
  EXPECT_EQ(AcquireInstanceNumber(*first), 1);
  EXPECT_EQ(AcquireInstanceNumber(*second), 2);
  first.reset();  // copy 1 ends
  auto third = NewCopy();
  EXPECT_EQ(AcquireInstanceNumber(*third), 1);
}

TEST_F(InstanceLockTest, TwentyFirstCopyGetsNone) {
  std::vector<std::unique_ptr<FileInstanceLock>> copies;
  for (int n = 1; n <= kMaxInstances; ++n) {
    copies.push_back(NewCopy());
    ASSERT_EQ(AcquireInstanceNumber(*copies.back()), n);
  }
  auto extra = NewCopy();
  EXPECT_EQ(AcquireInstanceNumber(*extra), 0);
}

TEST_F(InstanceLockTest, NameHeldByAFolderIsSkipped) {
  std::filesystem::create_directory(folder_ / InstanceName(1));
  auto copy = NewCopy();
  EXPECT_EQ(AcquireInstanceNumber(*copy), 2);
}

TEST_F(InstanceLockTest, LinkIsNotFollowed) {
  std::filesystem::create_symlink(folder_ / "elsewhere", folder_ / InstanceName(1));
  auto copy = NewCopy();
  EXPECT_EQ(AcquireInstanceNumber(*copy), 2);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "elsewhere"));
}

}  // namespace
}  // namespace vessa::platform
