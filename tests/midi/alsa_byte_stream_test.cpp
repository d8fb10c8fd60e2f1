#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "midi/alsa/byte_stream.h"
#include "midi/alsa/driver.h"
#include "midi/alsa/input.h"
#include "midi/alsa/port_names.h"
#include "tests/midi/message_inbox.h"

namespace vessa::midi::alsa {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Generous: only reached when something is broken.
constexpr auto kArrivalLimit = 10s;

std::vector<Bytes> Frame(const std::vector<Bytes>& reads) {
  std::vector<Bytes> messages;
  SysExFramer framer(
      [&](std::span<const std::uint8_t> m) { messages.emplace_back(m.begin(), m.end()); });
  for (const Bytes& read : reads) framer.Feed(read);
  return messages;
}

// F0, `length - 2` data bytes covering every 7-bit value, F7.
Bytes SysEx(std::size_t length) {
  Bytes message(length);
  message.front() = 0xF0;
  for (std::size_t i = 1; i + 1 < length; ++i)
    message[i] = static_cast<std::uint8_t>((i * 7) % 128);
  message.back() = 0xF7;
  return message;
}

Bytes Joined(const std::vector<Bytes>& pieces) {
  Bytes all;
  for (const Bytes& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

TEST(SysExFramer, FramesMessagesOutOfTheStream) {
  struct Case {
    const char* name;
    std::vector<Bytes> reads;
    std::vector<Bytes> expected;
  };
  const Case cases[] = {
      {"whole message in one read", {{0xF0, 0x43, 0x10, 0xF7}}, {{0xF0, 0x43, 0x10, 0xF7}}},
      {"split across reads",
       {{0xF0, 0x43}, {0x10}, {0x20, 0xF7}},
       {{0xF0, 0x43, 0x10, 0x20, 0xF7}}},
      {"two messages in one read",
       {{0xF0, 0x01, 0xF7, 0xF0, 0x02, 0xF7}},
       {{0xF0, 0x01, 0xF7}, {0xF0, 0x02, 0xF7}}},
      {"real-time bytes inside are skipped",
       {{0xF0, 0x01, 0xF8}, {0xFE, 0x02, 0xFF, 0xF7}},
       {{0xF0, 0x01, 0x02, 0xF7}}},
      {"garbage between messages is dropped",
       {{0x90, 0x40, 0x7F, 0xF0, 0x01, 0xF7, 0x05, 0xF7, 0xB0, 0x07, 0x64, 0xFA, 0xF0, 0x02, 0xF7}},
       {{0xF0, 0x01, 0xF7}, {0xF0, 0x02, 0xF7}}},
      {"channel status inside aborts the message",
       {{0xF0, 0x01, 0x02, 0x90, 0x40, 0x7F, 0xF7, 0xF0, 0x03, 0xF7}},
       {{0xF0, 0x03, 0xF7}}},
      {"system common status inside aborts the message",
       {{0xF0, 0x01, 0xF2, 0x00, 0xF7}, {0xF0, 0x04, 0xF7}},
       {{0xF0, 0x04, 0xF7}}},
      {"a new start abandons the unfinished message",
       {{0xF0, 0x01, 0xF0, 0x02, 0xF7}},
       {{0xF0, 0x02, 0xF7}}},
      {"unfinished message is not handed on", {{0xF0, 0x01, 0x02}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Frame(c.reads), c.expected);
  }
}

TEST(SysExFramer, LongMessageComesInPiecesOfTheReceiveBufferSize) {
  struct Case {
    std::size_t length;
    std::vector<std::size_t> pieces;
  };
  const Case cases[] = {
      {kMaxSysExPiece, {kMaxSysExPiece}},
      {kMaxSysExPiece + 1, {kMaxSysExPiece, 1}},
      {20000, {kMaxSysExPiece, kMaxSysExPiece, 20000 - 2 * kMaxSysExPiece}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const Bytes message = SysEx(c.length);
    // Odd-sized reads, so that piece boundaries fall inside a read.
    std::vector<Bytes> reads;
    for (std::size_t at = 0; at < message.size(); at += 1000) {
      reads.emplace_back(message.begin() + at,
                         message.begin() + std::min(message.size(), at + 1000));
    }
    const std::vector<Bytes> pieces = Frame(reads);
    std::vector<std::size_t> sizes;
    for (const Bytes& piece : pieces) sizes.push_back(piece.size());
    EXPECT_EQ(sizes, c.pieces);
    EXPECT_EQ(Joined(pieces), message);
  }
}

TEST(SysExFramer, HandsOnAFullPieceBeforeTheMessageEnds) {
  const Bytes message = SysEx(3 * kMaxSysExPiece);
  const std::vector<Bytes> pieces =
      Frame({Bytes(message.begin(), message.begin() + kMaxSysExPiece)});
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0].size(), kMaxSysExPiece);
}

// Takes at most `perWrite` bytes a call and reports itself full on every
// `fullEvery`-th call; fails for good after `failAfter` bytes.
class ChokingSink : public ByteSink {
 public:
  std::size_t perWrite = 0;
  int fullEvery = 0;
  std::size_t failAfter = SIZE_MAX;
  bool drainResult = true;

  Bytes taken;
  int waits = 0;
  bool drained = false;

  long Write(const std::uint8_t* data, std::size_t size) override {
    ++calls_;
    if (taken.size() >= failAfter) return -1;
    if (fullEvery != 0 && calls_ % fullEvery == 0) return 0;
    const std::size_t count = std::min(size, perWrite);
    taken.insert(taken.end(), data, data + count);
    return static_cast<long>(count);
  }
  bool WaitWritable(std::chrono::milliseconds) override {
    ++waits;
    return true;
  }
  bool Drain(std::chrono::milliseconds) override {
    drained = true;
    return drainResult;
  }

 private:
  int calls_ = 0;
};

TEST(WriteAll, WritesEveryByteThroughShortWritesAndFullSinks) {
  struct Case {
    const char* name;
    std::size_t perWrite;
    int fullEvery;
  };
  const Case cases[] = {
      {"all at once", SIZE_MAX, 0},
      {"one byte a write", 1, 0},
      {"short writes", 333, 0},
      {"short writes and a full sink every other call", 100, 2},
  };
  const Bytes message = SysEx(4700);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChokingSink sink;
    sink.perWrite = c.perWrite;
    sink.fullEvery = c.fullEvery;
    EXPECT_TRUE(WriteAll(sink, message, 1s));
    EXPECT_EQ(sink.taken, message);
    EXPECT_TRUE(sink.drained);
    EXPECT_EQ(sink.waits > 0, c.fullEvery != 0);
  }
}

TEST(WriteAll, FailsOnASinkErrorOrAFailedDrain) {
  const Bytes message = SysEx(1000);

  ChokingSink broken;
  broken.perWrite = 300;
  broken.failAfter = 600;
  EXPECT_FALSE(WriteAll(broken, message, 1s));
  EXPECT_FALSE(broken.drained);

  ChokingSink undrained;
  undrained.perWrite = SIZE_MAX;
  undrained.drainResult = false;
  EXPECT_FALSE(WriteAll(undrained, message, 1s));
}

void SetNonBlocking(int fd) {
  ASSERT_EQ(fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK), 0);
}

struct Pipe {
  int read = -1;
  int write = -1;
  Pipe() {
    int fds[2];
    EXPECT_EQ(pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
    read = fds[0];
    write = fds[1];
  }
  ~Pipe() {
    if (read >= 0) close(read);
    if (write >= 0) close(write);
  }
};

TEST(WriteAll, GivesUpWhenTheLimitRunsOutOnAFullPipe) {
  Pipe pipe;
  const Bytes filler(4096, 0x00);
  while (write(pipe.write, filler.data(), filler.size()) > 0) {
  }
  FdSink sink(pipe.write);
  EXPECT_FALSE(WriteAll(sink, SysEx(16), 20ms));
}

struct PseudoTerminal {
  int master = -1;
  int slave = -1;
  PseudoTerminal() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(master, 0);
    EXPECT_EQ(grantpt(master), 0);
    EXPECT_EQ(unlockpt(master), 0);
    slave = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(slave, 0);
    termios raw{};
    EXPECT_EQ(tcgetattr(slave, &raw), 0);
    cfmakeraw(&raw);
    EXPECT_EQ(tcsetattr(slave, TCSANOW, &raw), 0);
    SetNonBlocking(master);
    SetNonBlocking(slave);
  }
  ~PseudoTerminal() {
    if (slave >= 0) close(slave);
    if (master >= 0) close(master);
  }
};

TEST(ByteStream, MessageCrossesAPseudoTerminalUnchangedBothWays) {
  PseudoTerminal terminal;
  const Bytes message = SysEx(4700);
  struct Direction {
    const char* name;
    int from;
    int to;
  };
  const Direction directions[] = {{"master to slave", terminal.master, terminal.slave},
                                  {"slave to master", terminal.slave, terminal.master}};
  for (const Direction& d : directions) {
    SCOPED_TRACE(d.name);
    MessageInbox collector;
    FdSource source(d.to);
    ByteStreamReader reader(source, collector.Sink());
    ASSERT_TRUE(reader.Start());
    FdSink sink(d.from);
    EXPECT_TRUE(WriteAll(sink, message, 5s));
    const std::vector<Bytes> received = collector.WaitFor(1);
    reader.Stop();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], message);
  }
}

TEST(ByteStreamReader, StopWakesAnIdleReaderAndAStartAfterwardsReadsAgain) {
  Pipe pipe;
  MessageInbox collector;
  FdSource source(pipe.read);
  ByteStreamReader reader(source, collector.Sink());
  ASSERT_TRUE(reader.Start());
  reader.Stop();  // nothing to read: only the wake-up can end the wait

  ASSERT_TRUE(reader.Start());
  const Bytes message{0xF0, 0x7E, 0x00, 0xF7};
  ASSERT_EQ(write(pipe.write, message.data(), message.size()), 4);
  EXPECT_EQ(collector.WaitFor(1), std::vector<Bytes>{message});
}

TEST(ByteStreamReader, NoMessageIsHandedOnAfterStopReturns) {
  Pipe pipe;
  std::atomic<bool> stopped{false};
  std::atomic<int> handedOn{0};
  std::atomic<int> late{0};
  FdSource source(pipe.read);
  ByteStreamReader reader(source, [&](std::span<const std::uint8_t>) {
    if (stopped.load()) late.fetch_add(1);
    handedOn.fetch_add(1);
  });
  ASSERT_TRUE(reader.Start());
  const Bytes message{0xF0, 0x01, 0xF7};
  std::atomic<bool> writing{true};
  std::thread writer([&] {
    while (writing.load())
      [[maybe_unused]] auto n = write(pipe.write, message.data(), message.size());
  });
  while (handedOn.load() == 0) std::this_thread::yield();
  reader.Stop();
  stopped.store(true);
  writing.store(false);
  writer.join();
  EXPECT_EQ(late.load(), 0);
}

// Acts like the input port: records each buffer and gives it straight back.
struct PortDouble {
  InputConnection* connection = nullptr;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Bytes> messages;
  int emptyHandBacks = 0;

  static void Callback(void* instance, InputEvent event, MidiHeader* header) {
    auto* self = static_cast<PortDouble*>(instance);
    if (event != InputEvent::kLongData) return;
    std::lock_guard lock(self->mutex);
    const std::uint32_t recorded = header->bytesRecorded.load();
    if ((header->flags.load() & kHeaderDone) == 0 || recorded == 0) {
      ++self->emptyHandBacks;
    } else {
      self->messages.emplace_back(header->data, header->data + recorded);
      self->connection->AddBuffer(header);
    }
    self->changed.notify_all();
  }

  std::vector<Bytes> WaitFor(std::size_t count) {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, kArrivalLimit, [&] { return messages.size() >= count; });
    return messages;
  }
};

TEST(StreamInput, DeliversFramedMessagesIntoThePortsBufferAndHandsItBackOnReset) {
  Pipe pipe;
  PortDouble port;
  StreamInput input(std::make_unique<FdSource>(pipe.read), &PortDouble::Callback, &port);
  port.connection = &input;
  Bytes storage(kMaxSysExPiece);
  MidiHeader header;
  header.data = storage.data();
  header.bufferLength = static_cast<std::uint32_t>(storage.size());

  ASSERT_TRUE(input.AddBuffer(&header));
  ASSERT_TRUE(input.Start());
  const Bytes stream{0xF0, 0x01, 0xF7, 0x90, 0x40, 0x7F, 0xF0, 0x02, 0x03, 0xF7};
  ASSERT_EQ(write(pipe.write, stream.data(), stream.size()), static_cast<ssize_t>(stream.size()));
  const std::vector<Bytes> expected{{0xF0, 0x01, 0xF7}, {0xF0, 0x02, 0x03, 0xF7}};
  EXPECT_EQ(port.WaitFor(2), expected);

  EXPECT_TRUE(input.Reset());
  {
    std::lock_guard lock(port.mutex);
    EXPECT_EQ(port.emptyHandBacks, 1);
  }
  EXPECT_TRUE(input.Close());
}

TEST(PortNames, SubdevicesAreNamedOnlyWhenTheirNamesTellThemApart) {
  struct Case {
    const char* name;
    std::vector<std::string> subdevices;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"single subdevice", {"Sub A"}, {"Dev"}},
      {"distinct names", {"Port 1", "Port 2"}, {"Port 1", "Port 2"}},
      {"same names", {"Dev", "Dev"}, {"Dev", "Dev"}},
      {"one unnamed", {"Port 1", ""}, {"Dev", "Dev"}},
      {"no subdevice", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SubdevicePortNames("Dev", c.subdevices), c.expected);
  }
}

TEST(PortNames, RepeatedNamesAreNumberedInListOrder) {
  struct Case {
    const char* name;
    std::vector<std::string> names;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"all distinct", {"A", "B"}, {"A", "B"}},
      {"three alike", {"A", "B", "A", "A"}, {"A", "B", "A (2)", "A (3)"}},
      {"numbered name already taken", {"A", "A (2)", "A"}, {"A", "A (2)", "A (3)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> names = c.names;
    NumberRepeatedNames(names);
    EXPECT_EQ(names, c.expected);
  }
}

TEST(AlsaDriver, WithoutSoundKernelListsNothingAndSaysNothing) {
  if (access("/dev/snd", F_OK) == 0) GTEST_SKIP() << "this machine has ALSA devices";
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const std::unique_ptr<MidiDriver> driver = CreateAlsaDriver();
  const std::uint32_t inputs = driver->InputCount();
  const std::uint32_t outputs = driver->OutputCount();
  const bool inputOpened = driver->OpenInput(0, &PortDouble::Callback, nullptr) != nullptr;
  const bool outputOpened = driver->OpenOutput(0) != nullptr;
  const std::string said =
      testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
  EXPECT_EQ(inputs, 0u);
  EXPECT_EQ(outputs, 0u);
  EXPECT_FALSE(inputOpened);
  EXPECT_FALSE(outputOpened);
  EXPECT_EQ(said, "");
}

}  // namespace
}  // namespace vessa::midi::alsa
