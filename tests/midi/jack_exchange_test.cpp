// Two processes exchange SysEx through a running JACK server: this test's
// driver connections on one side, an echo peer process on the other. The
// dummy server can lose a message now and then; a lost message is counted,
// reported and sent again, but corrupted or reordered data always fails.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>
#include <map>
#include <thread>

#include "midi/jack/driver.h"
#include "tests/midi/jack_test_support.h"

extern char** environ;

namespace vessa::midi::jack {
namespace {

using testing::BufferReceiver;
using testing::Bytes;
using testing::SequenceOf;
using testing::TaggedMessage;

constexpr auto kSendLimit = std::chrono::seconds(2);
constexpr auto kEchoWait = std::chrono::seconds(3);
constexpr auto kPeerStartLimit = std::chrono::seconds(10);
constexpr int kMaxAttempts = 4;

class EchoPeer {
 public:
  explicit EchoPeer(const std::string& name) {
    const std::string program = VESSA_JACK_ECHO_PEER;
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(name.c_str()), nullptr};
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = -1;
  }
  ~EchoPeer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  bool Running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

std::optional<std::uint32_t> FindByName(std::uint32_t (MidiDriver::*count)(),
                                        std::string (MidiDriver::*name)(std::uint32_t),
                                        MidiDriver& driver, const std::string& wanted) {
  const auto deadline = std::chrono::steady_clock::now() + kPeerStartLimit;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::uint32_t n = (driver.*count)();
    for (std::uint32_t i = 0; i < n; ++i) {
      if ((driver.*name)(i) == wanted) return i;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

struct Losses {
  int lost = 0;  // sent, no echo within the wait, sent again
  int late = 0;  // the echo of an earlier, given-up attempt arrived after all
};

// The host side: sends through the driver's output and reads the echoes from
// its input, checking every byte and the order.
class Exchange {
 public:
  Exchange(OutputConnection& output, BufferReceiver& input) : output_(output), input_(input) {}

  // Sends a message of `size` bytes until its echo comes back whole.
  void RoundTrip(std::size_t size) {
    std::vector<std::uint32_t> givenUp;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
      const std::uint32_t sequence = SendTagged(size);
      if (AwaitEcho(sequence, givenUp)) return;
      ++losses_.lost;
      std::cout << "[ lost     ] message of " << size << " bytes, sequence " << sequence
                << "; sending again\n";
      givenUp.push_back(sequence);
    }
    ADD_FAILURE() << "message of " << size << " bytes never came back";
  }

  // Sends `count` messages back to back, then checks that the echoes arrive
  // in order and whole; any that are missing are counted and sent again.
  void Burst(int count, std::size_t size) {
    std::vector<std::uint32_t> sent;
    for (int i = 0; i < count; ++i) sent.push_back(SendTagged(size));
    std::size_t next = 0;
    while (next < sent.size()) {
      const std::optional<Bytes> echo = input_.Next(kEchoWait);
      if (!echo) break;
      const std::uint32_t sequence = SequenceOf(*echo);
      ASSERT_TRUE(Matches(*echo));
      while (next < sent.size() && sent[next] != sequence) {
        ++losses_.lost;
        std::cout << "[ lost     ] burst message " << next << "\n";
        ++next;
      }
      ASSERT_LT(next, sent.size()) << "echo out of order, sequence " << sequence;
      ++next;
    }
    for (; next < sent.size(); ++next) {
      ++losses_.lost;
      std::cout << "[ lost     ] burst message " << next << " (tail)\n";
    }
    const int lostInBurst = losses_.lost;
    for (int i = 0; i < lostInBurst; ++i) RoundTrip(size);
  }

  const Losses& losses() const { return losses_; }

 private:
  std::uint32_t SendTagged(std::size_t size) {
    const std::uint32_t sequence = nextSequence_++;
    Bytes message = TaggedMessage(sequence, size);
    EXPECT_TRUE(
        output_.Send(message.data(), static_cast<std::uint32_t>(message.size()), kSendLimit))
        << "send of " << size << " bytes";
    sent_[sequence] = std::move(message);
    return sequence;
  }

  ::testing::AssertionResult Matches(const Bytes& echo) const {
    const auto sent = sent_.find(SequenceOf(echo));
    if (sent == sent_.end()) {
      return ::testing::AssertionFailure() << "never sent: sequence " << SequenceOf(echo);
    }
    if (sent->second == echo) return ::testing::AssertionSuccess();
    const auto differ =
        std::mismatch(echo.begin(), echo.end(), sent->second.begin(), sent->second.end());
    return ::testing::AssertionFailure()
           << "sequence " << SequenceOf(echo) << ": " << echo.size() << " bytes back, "
           << sent->second.size() << " sent, first difference at " << (differ.first - echo.begin());
  }

  bool AwaitEcho(std::uint32_t sequence, const std::vector<std::uint32_t>& givenUp) {
    while (std::optional<Bytes> echo = input_.Next(kEchoWait)) {
      const std::uint32_t got = SequenceOf(*echo);
      EXPECT_TRUE(Matches(*echo));
      if (got == sequence) return true;
      const bool wasGivenUp = std::find(givenUp.begin(), givenUp.end(), got) != givenUp.end();
      EXPECT_TRUE(wasGivenUp) << "unexpected echo, sequence " << got << " while awaiting "
                              << sequence;
      ++losses_.late;
    }
    return false;
  }

  OutputConnection& output_;
  BufferReceiver& input_;
  std::uint32_t nextSequence_ = 1;
  std::map<std::uint32_t, Bytes> sent_;
  Losses losses_;
};

class JackExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    peerName_ = "vessa-echo-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
    peer_ = std::make_unique<EchoPeer>(peerName_);
    ASSERT_TRUE(peer_->Running());
    const auto in =
        FindByName(&MidiDriver::InputCount, &MidiDriver::InputName, *driver_, peerName_);
    const auto out =
        FindByName(&MidiDriver::OutputCount, &MidiDriver::OutputName, *driver_, peerName_);
    ASSERT_TRUE(in && out) << "echo peer " << peerName_ << " did not show up in the port lists";
    inputIndex_ = *in;
    outputIndex_ = *out;
  }

  void Report(const Losses& losses) {
    std::cout << "[ losses   ] lost " << losses.lost << ", late " << losses.late << "\n";
    RecordProperty("lost", losses.lost);
    RecordProperty("late", losses.late);
  }

  // Opens both connections to the peer, its echoes landing in buffers of
  // `bufferLength` bytes.
  void Connect(std::uint32_t bufferLength) {
    receiver_ = std::make_unique<BufferReceiver>(bufferLength);
    input_ = driver_->OpenInput(inputIndex_, &BufferReceiver::Callback, receiver_.get());
    output_ = driver_->OpenOutput(outputIndex_);
    ASSERT_TRUE(input_ && output_);
    ASSERT_TRUE(receiver_->Attach(input_.get()));
  }

  std::unique_ptr<MidiDriver> driver_ = CreateJackDriver();
  std::string peerName_;
  std::unique_ptr<EchoPeer> peer_;
  std::uint32_t inputIndex_ = 0;
  std::uint32_t outputIndex_ = 0;
  // The input goes before the receiver its callback fills.
  std::unique_ptr<BufferReceiver> receiver_;
  std::unique_ptr<InputConnection> input_;
  std::unique_ptr<OutputConnection> output_;
};

TEST_F(JackExchangeTest, MessagesOfEverySizeComeBackWholeInOneCallback) {
  // Large enough that even the longest message is one callback.
  ASSERT_NO_FATAL_FAILURE(Connect(16384));

  Exchange exchange(*output_, *receiver_);
  for (std::size_t size : {6, 7, 20, 4700, 8192, 16000, 16383}) {
    SCOPED_TRACE(size);
    exchange.RoundTrip(size);
  }
  Report(exchange.losses());
}

TEST_F(JackExchangeTest, BurstArrivesCompleteAndInOrder) {
  ASSERT_NO_FATAL_FAILURE(Connect(16384));

  Exchange exchange(*output_, *receiver_);
  exchange.Burst(50, 4700);
  Report(exchange.losses());
}

TEST_F(JackExchangeTest, PortSizedBufferTakesALongMessageInPieces) {
  ASSERT_NO_FATAL_FAILURE(Connect(8192));

  const Bytes message = TaggedMessage(1, 16000);
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    ASSERT_TRUE(output_->Send(message.data(), 16000, kSendLimit));
    std::optional<Bytes> first = receiver_->Next(kEchoWait);
    if (!first) {
      std::cout << "[ lost     ] 16000-byte message; sending again\n";
      continue;
    }
    std::optional<Bytes> second = receiver_->Next(kEchoWait);
    ASSERT_TRUE(second) << "the second piece is missing";
    EXPECT_EQ(first->size(), 8192u);
    EXPECT_EQ(second->size(), 16000u - 8192u);
    first->insert(first->end(), second->begin(), second->end());
    EXPECT_EQ(*first, message);
    return;
  }
  FAIL() << "16000-byte message never came back";
}

TEST_F(JackExchangeTest, SendRefusesEmptyAndOverlongMessages) {
  auto output = driver_->OpenOutput(outputIndex_);
  ASSERT_TRUE(output);
  const Bytes tooLong = TaggedMessage(1, 16384);
  EXPECT_FALSE(output->Send(tooLong.data(), 0, kSendLimit));
  EXPECT_FALSE(output->Send(tooLong.data(), 16384, kSendLimit));
  output->Close();
  EXPECT_FALSE(output->Send(tooLong.data(), 16383, kSendLimit)) << "send after close";
}

}  // namespace
}  // namespace vessa::midi::jack
