// The Linux device layer on real pseudo-terminals.
#include "common/unique_fd.h"
#include "serial/posix/custom_speed.h"
#include "serial/posix/posix_device_opener.h"
#include "support/pty_pair.h"

#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <time.h>

namespace serial {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;

constexpr auto kGenerous = 5s;  // for what must happen
constexpr auto kQuiet = 300ms;  // for what must not happen

Dcb line(uint32_t rate) {
  Dcb dcb;
  dcb.DCBlength = 28;
  dcb.BaudRate = rate;
  dcb.Flags = DcbFlag::Binary;
  dcb.XonLim = dcb.XoffLim = 256;
  dcb.ByteSize = 8;
  dcb.XonChar = 17;
  dcb.XoffChar = 19;
  return dcb;
}

std::unique_ptr<SerialDevice> open_device(const std::string& port) {
  int error = -1;
  auto device = posix_serial_devices().open(port, error);
  EXPECT_EQ(error, 0) << port;
  return device;
}

// Work running on another thread against the device, as the port's event
// thread and its callers do. Leaving the scope ends it (cancel, abort), so a
// failing check never leaves the test hanging on a blocked call.
template <typename T>
class Background {
 public:
  Background(SerialDevice& device, std::function<T()> work)
      : device_(device), result_(std::async(std::launch::async, std::move(work))) {}
  ~Background() {
    while (result_.valid() && result_.wait_for(10ms) != std::future_status::ready) {
      device_.cancel_wait();
      device_.purge(Purge::RxAbort | Purge::TxAbort);
    }
  }
  // True when it is still blocked after a while.
  bool still_blocked() { return result_.wait_for(kQuiet) == std::future_status::timeout; }
  std::optional<T> result() {
    if (result_.wait_for(kGenerous) != std::future_status::ready) return std::nullopt;
    return result_.get();
  }

 private:
  SerialDevice& device_;
  std::future<T> result_;
};

using WaitResult = std::pair<int, uint32_t>;

class DeviceOnPty : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = open_device(pty_.path());
    ASSERT_TRUE(device_);
    ASSERT_EQ(device_->setup_queues(1024, 1024), 0);
    ASSERT_EQ(device_->set_state(line(4800)), 0);
    ASSERT_EQ(device_->set_timeouts(CommTimeouts{}), 0);
  }

  std::unique_ptr<Background<WaitResult>> start_wait() {
    return std::make_unique<Background<WaitResult>>(*device_, [this] {
      uint32_t events = 0xdead;
      int result = device_->wait_event(events);
      return WaitResult{result, events};
    });
  }

  std::unique_ptr<Background<std::string>> start_read(int count) {
    return std::make_unique<Background<std::string>>(*device_, [this, count] { return read_queued(count); });
  }

  std::string read_queued(int count) {
    std::string text(count, '\0');
    int done = -1;
    EXPECT_EQ(device_->read(text.data(), count, done), 0);
    text.resize(done > 0 ? done : 0);
    return text;
  }

  // The input queue's length and the line errors, as the port asks for them.
  std::pair<uint32_t, uint32_t> queued_and_errors() {
    uint32_t errors = 0xff, in_queue = 0, out_queue = 0;
    EXPECT_EQ(device_->clear_error(errors, in_queue, out_queue), 0);
    return {in_queue, errors};
  }

  int write(std::string_view bytes, int* starts = nullptr) {
    int done = -1;
    EXPECT_EQ(device_->write(bytes.data(), static_cast<int>(bytes.size()), done,
                             [starts] {
                               if (starts) ++*starts;
                             }),
              0);
    return done;
  }

  PtyPair pty_;
  std::unique_ptr<SerialDevice> device_;
};

TEST(DevicePath, MapsPortNamesToDevicePaths) {
  EXPECT_EQ(device_path("COM1"), "/dev/ttyS0");
  EXPECT_EQ(device_path("com12"), "/dev/ttyS11");
  EXPECT_EQ(device_path("ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(device_path("/dev/pts/3"), "/dev/pts/3");
  EXPECT_EQ(device_path("pts/3"), "pts/3");
  // Not COMn: looked up in /dev as they are.
  EXPECT_EQ(device_path("COM0"), "/dev/COM0");
  EXPECT_EQ(device_path("COM01"), "/dev/COM01");
  EXPECT_EQ(device_path("COM1x"), "/dev/COM1x");
  EXPECT_EQ(device_path("COM"), "/dev/COM");
  EXPECT_EQ(device_path("COM99999999999999999999"), "/dev/COM99999999999999999999");
}

// Only a serial line is opened: a terminal standing for the opener's own
// (/dev/tty) or a pseudo-terminal factory never is.
TEST(DeviceOpen, RefusesWhatCannotBeUsed) {
  const std::pair<std::string, int> refused[] = {
      {"ttyNoSuchPort", ENOENT}, {"", ENOENT}, {"/dev/null", ENOTTY}, {"/dev/tty", EBUSY}, {"/dev/ptmx", ENOTTY}};
  for (const auto& [port, code] : refused) {
    int error = 0;
    EXPECT_EQ(posix_serial_devices().open(port, error), nullptr) << port;
    EXPECT_EQ(error, code) << port;
  }
}

TEST(DeviceOpen, HoldsThePortForItselfUntilClosed) {
  PtyPair pty;
  auto first = open_device(pty.path());
  ASSERT_TRUE(first);
  int error = 0;
  EXPECT_EQ(posix_serial_devices().open(pty.path(), error), nullptr);
  EXPECT_EQ(error, EBUSY);
  first.reset();
  EXPECT_TRUE(open_device(pty.path()));
}

// Even as root the open fails as busy and the line keeps its settings; a
// console is never opened at all.
TEST(DeviceOpen, LeavesAloneWhatAnotherProgramHoldsAndTheConsoles) {
  for (const std::string what :
       {"made exclusive by its holder", "held by another process", "a session's terminal", "a system console"}) {
    SCOPED_TRACE(what);
    PtyPair pty;
    termios cooked{};
    ASSERT_EQ(tcgetattr(pty.slave(), &cooked), 0);
    cooked.c_lflag |= ICANON | ECHO;
    ASSERT_EQ(tcsetattr(pty.slave(), TCSANOW, &cooked), 0);
    QTemporaryDir proc;
    SystemRoots roots;
    pid_t holder = -1;
    struct stat node {};
    if (what == "made exclusive by its holder") {
      ASSERT_EQ(ioctl(pty.slave(), TIOCEXCL), 0);
    } else if (what == "held by another process") {
      if ((holder = fork()) == 0) pause();  // the child holds the slave it inherits
    } else if (what == "a session's terminal") {
      int ready[2];
      ASSERT_EQ(pipe(ready), 0);
      if ((holder = fork()) == 0) {
        // Opened once by a session leader, the tty is the session's, though
        // nobody keeps it open.
        close(pty.slave());
        setsid();
        close(open(pty.path().c_str(), O_RDWR));
        [[maybe_unused]] const ssize_t told = write(ready[1], "!", 1);
        pause();
      }
      char told;
      ASSERT_EQ(read(ready[0], &told, 1), 1);
      close(ready[0]), close(ready[1]);
    } else {
      ASSERT_EQ(stat(pty.path().c_str(), &node), 0);
      std::ofstream(proc.filePath("consoles").toStdString())
          << "ttyX -W- (EC p a) " << major(node.st_rdev) << ":" << minor(node.st_rdev);
      roots = {proc.path().toStdString(), proc.path().toStdString()};
    }
    common::UniqueFd watch(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    ASSERT_GE(inotify_add_watch(watch.get(), pty.path().c_str(), IN_OPEN), 0);

    int error = 0;
    EXPECT_EQ(PosixSerialDeviceOpener(roots).open(pty.path(), error), nullptr);
    EXPECT_EQ(error, EBUSY);
    termios after{};
    ASSERT_EQ(tcgetattr(pty.slave(), &after), 0);
    EXPECT_EQ(after.c_lflag, cooked.c_lflag);
    char event[4096];
    EXPECT_EQ(read(watch.get(), event, sizeof event) > 0, what != "a system console") << "opened";
    if (holder > 0) kill(holder, SIGKILL), waitpid(holder, nullptr, 0);
  }
}

// Settings may be applied long after opening (a port opened inside
// BeginUpdate): until then the line must not be cooked, where an
// end-of-file character reads as a vanished device.
TEST(DeviceOpen, LeavesTheLineRawAtTheSpeedItHad) {
  PtyPair pty;
  termios cooked{};
  ASSERT_EQ(tcgetattr(pty.slave(), &cooked), 0);
  cooked.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
  cooked.c_iflag |= ICRNL;
  cooked.c_oflag |= OPOST;
  cfsetspeed(&cooked, B1200);
  ASSERT_EQ(tcsetattr(pty.slave(), TCSANOW, &cooked), 0);

  auto device = open_device(pty.path());
  ASSERT_TRUE(device);
  termios t{};
  ASSERT_EQ(tcgetattr(pty.slave(), &t), 0);
  EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
  EXPECT_FALSE(t.c_iflag & ICRNL);
  EXPECT_FALSE(t.c_oflag & OPOST);
  EXPECT_EQ(t.c_cc[VMIN], 1);
  EXPECT_EQ(t.c_cc[VTIME], 0);
  EXPECT_EQ(cfgetospeed(&t), B1200);

  pty.send("ab\x04\r");
  pty.await_queued(4);
  char bytes[8];
  int done = -1;
  EXPECT_EQ(device->read(bytes, 8, done), 0);
  EXPECT_EQ(std::string(bytes, done > 0 ? done : 0), "ab\x04\r");

  // Closed, the line is given back as it was: a terminal is never left raw.
  ASSERT_EQ(device->set_state(line(9600)), 0);
  device.reset();
  ASSERT_EQ(tcgetattr(pty.slave(), &t), 0);
  EXPECT_EQ(t.c_lflag, cooked.c_lflag);
  EXPECT_EQ(t.c_iflag, cooked.c_iflag);
  EXPECT_EQ(cfgetospeed(&t), B1200);
}

TEST_F(DeviceOnPty, SetStateConfiguresARawLineAtStandardAndCustomSpeeds) {
  Dcb dcb = line(115200);
  dcb.StopBits = 2;
  dcb.Flags |= DcbFlag::OutxCtsFlow | 0x2000 /* RTS handshake */ | DcbFlag::OutX | DcbFlag::InX;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  ASSERT_EQ(device_->set_state(dcb), 0);
  termios t{};
  ASSERT_EQ(tcgetattr(pty_.slave(), &t), 0);
  EXPECT_EQ(cfgetospeed(&t), B115200);
  EXPECT_EQ(cfgetispeed(&t), B115200);
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  EXPECT_TRUE(t.c_cflag & CRTSCTS);
  EXPECT_TRUE(t.c_cflag & CLOCAL);
  EXPECT_TRUE(t.c_cflag & CREAD);
  EXPECT_FALSE(t.c_cflag & HUPCL);
  EXPECT_TRUE(t.c_iflag & IXON);
  EXPECT_TRUE(t.c_iflag & IXOFF);
  EXPECT_EQ(t.c_cc[VSTART], 0x11);
  EXPECT_EQ(t.c_cc[VSTOP], 0x13);
  EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
  EXPECT_FALSE(t.c_oflag & OPOST);
  EXPECT_EQ(t.c_cc[VMIN], 1);
  EXPECT_EQ(t.c_cc[VTIME], 0);

  // Speeds without a Bxxx constant, and back to a standard one: both
  // directions follow, the input side included.
  for (uint32_t rate : {31250u, 14400u, 56000u, 128000u, 256000u, 4800u}) {
    ASSERT_EQ(device_->set_state(line(rate)), 0) << rate;
    uint32_t input = 0, output = 0;
    ASSERT_EQ(read_speeds(pty_.slave(), input, output), 0);
    EXPECT_EQ(input, rate);
    EXPECT_EQ(output, rate);
    ASSERT_EQ(tcgetattr(pty_.slave(), &t), 0);
    EXPECT_FALSE(t.c_cflag & (CSTOPB | CRTSCTS)) << rate;
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF)) << rate;
  }
  EXPECT_EQ(cfgetospeed(&t), B4800);
}

TEST_F(DeviceOnPty, SetStateRefusesValuesTheLineCannotTake) {
  Dcb dcb = line(4800);
  dcb.ByteSize = 9;
  EXPECT_EQ(device_->set_state(dcb), EINVAL);
  EXPECT_EQ(device_->set_state(line(0)), EINVAL);
  termios t{};
  ASSERT_EQ(tcgetattr(pty_.slave(), &t), 0);
  EXPECT_EQ(cfgetospeed(&t), B4800);  // still the line set up before
}

TEST_F(DeviceOnPty, DefaultTimeoutsReadWhatIsQueuedAtOnce) {
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(read_queued(10), "");
  pty_.send("$GPRMC");
  pty_.await_queued(6);
  EXPECT_EQ(read_queued(4), "$GPR");
  EXPECT_EQ(read_queued(100), "MC");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST_F(DeviceOnPty, TotalReadTimeoutEndsAWaitingRead) {
  CommTimeouts timeouts;
  timeouts.ReadInterval = 0;
  timeouts.ReadTotalConstant = 200;
  ASSERT_EQ(device_->set_timeouts(timeouts), 0);
  pty_.send("ab");
  pty_.await_queued(2);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(read_queued(10), "ab");
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, 190ms);
  EXPECT_LT(took, kGenerous);
}

TEST_F(DeviceOnPty, ReadWaitsForTheBytesItAsksFor) {
  CommTimeouts timeouts;
  timeouts.ReadInterval = 0;  // all zero: no limit
  ASSERT_EQ(device_->set_timeouts(timeouts), 0);
  auto read = start_read(5);
  pty_.send("12");
  EXPECT_TRUE(read->still_blocked());
  pty_.send("345");
  EXPECT_EQ(read->result(), "12345");
}

TEST_F(DeviceOnPty, PurgeAbortsAReadInFlightWithWhatItMoved) {
  CommTimeouts timeouts;
  timeouts.ReadInterval = 0;
  ASSERT_EQ(device_->set_timeouts(timeouts), 0);
  auto read = start_read(10);
  pty_.send("abc");
  EXPECT_TRUE(read->still_blocked());
  ASSERT_EQ(device_->purge(Purge::RxAbort | Purge::TxAbort), 0);
  EXPECT_EQ(read->result(), "abc");

  // Only the transfers in flight were ended: the next read waits again.
  auto next = start_read(1);
  EXPECT_TRUE(next->still_blocked());
  pty_.send("d");
  EXPECT_EQ(next->result(), "d");
}

TEST_F(DeviceOnPty, DiscardNullDropsReceivedNulBytesBeforeTheyAreCounted) {
  Dcb dcb = line(4800);
  dcb.Flags |= DcbFlag::Null;
  ASSERT_EQ(device_->set_state(dcb), 0);
  pty_.send(std::string_view("a\0b\0", 4));
  pty_.await_queued(4);
  EXPECT_EQ(queued_and_errors().first, 2u);
  EXPECT_EQ(read_queued(4), "ab");
}

TEST_F(DeviceOnPty, TheEventCharacterRaisesRxFlagWithTheBytesItCameWith) {
  Dcb dcb = line(4800);
  dcb.EvtChar = '\n';
  ASSERT_EQ(device_->set_state(dcb), 0);
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar | EventBit::RxFlag), 0);
  pty_.send("$GPRMC\r\n");
  uint32_t events = 0;
  ASSERT_EQ(device_->wait_event(events), 0);
  EXPECT_EQ(events, EventBit::RxChar | EventBit::RxFlag);
  pty_.send("$GP");
  ASSERT_EQ(device_->wait_event(events), 0);
  EXPECT_EQ(events, uint32_t{EventBit::RxChar});
  EXPECT_EQ(read_queued(100), "$GPRMC\r\n$GP");
}

// The kernel's own queue holds 4 KB: once full, a tty takes no more bytes
// and announces none, so a program that leaves its bytes unread for a while
// (the main window's 1,000-character rule) heard nothing ever after.
TEST_F(DeviceOnPty, ABurstLeftUnreadNeverStopsTheArrivalsAfterIt) {
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar | EventBit::Error), 0);
  pty_.send(std::string(9000, 'x'));
  // Wait after wait, reading nothing, until the burst has all come in.
  std::unique_ptr<Background<WaitResult>> wait;
  for (int i = 0; i < 100; ++i) {
    wait = start_wait();
    if (wait->still_blocked()) break;
  }
  ASSERT_TRUE(wait->still_blocked());
  pty_.send("$GPRMC,1\r\n");
  // Into a full queue: the oldest bytes give way, which is an error to report.
  EXPECT_EQ(wait->result(), WaitResult(0, EventBit::RxChar | EventBit::Error));
  const std::string queued = read_queued(2000);
  EXPECT_EQ(queued.size(), 1024u);
  EXPECT_TRUE(queued.ends_with("xxx$GPRMC,1\r\n")) << queued.substr(1000);
}

TEST_F(DeviceOnPty, AWaitingReadHearsOfBytesTheEventWaitTookIn) {
  CommTimeouts timeouts;
  timeouts.ReadInterval = 0;  // all zero: no limit
  ASSERT_EQ(device_->set_timeouts(timeouts), 0);
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar), 0);
  auto read = start_read(5);
  // The event wait, as the port's event thread runs it; which of the two
  // takes each byte in is up to the scheduler.
  Background<int> waits(*device_, [this] {
    uint32_t events = 0;
    int count = 0;
    while (device_->wait_event(events) == 0 && events != 0) ++count;
    return count;
  });
  for (char c : std::string("12345")) {
    pty_.send(std::string(1, c));
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(read->result(), "12345");
}

TEST_F(DeviceOnPty, WriteReachesTheFarEndAndXoffHoldsItWithinTheWriteTimeout) {
  int starts = 0;
  EXPECT_EQ(write("hello", &starts), 5);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(pty_.receive(5), "hello");

  CommTimeouts timeouts;
  timeouts.WriteTotalMultiplier = 0;
  timeouts.WriteTotalConstant = 200;
  ASSERT_EQ(device_->set_timeouts(timeouts), 0);
  ASSERT_EQ(device_->escape(Escape::SetXoff), 0);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(write("held", &starts), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 190ms);
  EXPECT_EQ(starts, 2);  // under way, held up
  ASSERT_EQ(device_->escape(Escape::SetXon), 0);
  EXPECT_EQ(write("go"), 2);
  EXPECT_EQ(pty_.receive(2), "go");
}

TEST_F(DeviceOnPty, QueriesReportNoModemLinesAndNoErrorsOnAPty) {
  uint32_t lines = 0xff;
  EXPECT_EQ(device_->modem_status(lines), 0);
  EXPECT_EQ(lines, 0u);
  pty_.send("12345");
  pty_.await_queued(5);
  uint32_t errors = 0xff, in_queue = 0, out_queue = 0xff;
  EXPECT_EQ(device_->clear_error(errors, in_queue, out_queue), 0);
  EXPECT_EQ(errors, 0u);
  EXPECT_EQ(in_queue, 5u);
  EXPECT_EQ(out_queue, 0u);
  EXPECT_EQ(device_->purge(Purge::RxClear | Purge::TxClear), 0);
  EXPECT_EQ(device_->clear_error(errors, in_queue, out_queue), 0);
  EXPECT_EQ(in_queue, 0u);
}

TEST_F(DeviceOnPty, RxCharIsReportedOncePerArrival) {
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar | EventBit::Error | EventBit::Cts), 0);
  auto wait = start_wait();
  EXPECT_TRUE(wait->still_blocked());
  pty_.send("$GP");
  EXPECT_EQ(wait->result(), WaitResult(0, EventBit::RxChar));

  // The bytes stay unread: they are not announced again...
  EXPECT_EQ(queued_and_errors().first, 3u);
  wait = start_wait();
  EXPECT_TRUE(wait->still_blocked());
  // ...until more arrive.
  pty_.send("RMC");
  EXPECT_EQ(wait->result(), WaitResult(0, EventBit::RxChar));

  // Reading a part does not announce the rest either.
  EXPECT_EQ(queued_and_errors().first, 6u);
  EXPECT_EQ(read_queued(2), "$G");
  wait = start_wait();
  EXPECT_TRUE(wait->still_blocked());
  device_->cancel_wait();
  EXPECT_EQ(wait->result(), WaitResult(0, 0));
  EXPECT_EQ(read_queued(10), "PRMC");
}

TEST_F(DeviceOnPty, ArrivalsOutsideTheMaskWakeNobody) {
  ASSERT_EQ(device_->set_event_mask(EventBit::Break), 0);
  auto wait = start_wait();
  pty_.send("abc");
  EXPECT_TRUE(wait->still_blocked());
  device_->cancel_wait();
  EXPECT_EQ(wait->result(), WaitResult(0, 0));
}

TEST_F(DeviceOnPty, CancelAndMaskChangesEndAWait) {
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar), 0);
  auto wait = start_wait();
  EXPECT_TRUE(wait->still_blocked());
  device_->cancel_wait();
  EXPECT_EQ(wait->result(), WaitResult(0, 0));

  wait = start_wait();
  EXPECT_TRUE(wait->still_blocked());
  ASSERT_EQ(device_->set_event_mask(0), 0);
  EXPECT_EQ(wait->result(), WaitResult(0, 0));

  // A cancel with nobody waiting ends the next wait at once (a stop must win
  // even when it comes between two waits)...
  device_->cancel_wait();
  wait = start_wait();
  EXPECT_EQ(wait->result(), WaitResult(0, 0));
  // ...but a mask set before a wait does not.
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar), 0);
  wait = start_wait();
  EXPECT_TRUE(wait->still_blocked());
  pty_.send("x");
  EXPECT_EQ(wait->result(), WaitResult(0, EventBit::RxChar));
}

TEST_F(DeviceOnPty, ANewMaskDropsACancelThatNoWaitTook) {
  // A time limit may cancel a wait just after it returned with events; the
  // next wait, set up with its own mask, must not end at once for it.
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar), 0);
  device_->cancel_wait();
  ASSERT_EQ(device_->set_event_mask(0), 0);
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar), 0);
  auto wait = start_wait();
  EXPECT_TRUE(wait->still_blocked());
  pty_.send("x");
  EXPECT_EQ(wait->result(), WaitResult(0, EventBit::RxChar));
}

TEST_F(DeviceOnPty, TxEmptyFollowsAWriteWhenAskedFor) {
  ASSERT_EQ(device_->set_event_mask(EventBit::TxEmpty), 0);
  auto wait = start_wait();
  EXPECT_TRUE(wait->still_blocked());
  write("x");
  EXPECT_EQ(wait->result(), WaitResult(0, EventBit::TxEmpty));
  // Reported once per write.
  wait = start_wait();
  EXPECT_TRUE(wait->still_blocked());
  wait.reset();

  // A pending stop wins over it, which then waits for the next wait.
  write("y");
  device_->cancel_wait();
  uint32_t events = 0xdead;
  EXPECT_EQ(device_->wait_event(events), 0);
  EXPECT_EQ(events, 0u);
  EXPECT_EQ(device_->wait_event(events), 0);
  EXPECT_EQ(events, uint32_t{EventBit::TxEmpty});
}

// A reader that falls behind is warned as the queue fills, then loses the
// oldest bytes, and is told so once.
TEST_F(DeviceOnPty, AFillingQueueWarnsAt80PercentThenLetsTheOldestBytesGo) {
  ASSERT_EQ(device_->setup_queues(10, 10), 0);
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar | EventBit::Rx80Full | EventBit::Error), 0);
  auto arrive = [&](const std::string& bytes) {
    pty_.send(bytes);
    pty_.await_queued(static_cast<int>(bytes.size()));  // the last wait took the earlier ones in
    uint32_t events = 0;
    EXPECT_EQ(device_->wait_event(events), 0);
    return events;
  };
  EXPECT_EQ(arrive("1234567"), uint32_t{EventBit::RxChar});
  EXPECT_EQ(arrive("8"), EventBit::RxChar | EventBit::Rx80Full);
  EXPECT_EQ(arrive("9abcd"), EventBit::RxChar | EventBit::Rx80Full | EventBit::Error);
  EXPECT_EQ(queued_and_errors(), std::pair(10u, uint32_t{LineError::RxOver}));
  EXPECT_EQ(read_queued(100), "456789abcd");
  EXPECT_EQ(queued_and_errors(), std::pair(0u, 0u));
}

double thread_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

TEST_F(DeviceOnPty, AVanishedDeviceFailsTheWaitPromptlyWithoutSpinning) {
  ASSERT_EQ(device_->set_event_mask(EventBit::RxChar | EventBit::Error), 0);
  Background<std::pair<int, double>> wait(*device_, [this] {
    double cpu = thread_cpu_ms();
    uint32_t events = 0;
    int result = device_->wait_event(events);
    // The event thread goes round again after a failure it does not expect:
    // it must keep failing, never block or report events.
    for (int i = 0; i < 3 && result == EIO; ++i) result = device_->wait_event(events);
    return std::pair(result, thread_cpu_ms() - cpu);
  });
  EXPECT_TRUE(wait.still_blocked());
  pty_.close_master();
  auto result = wait.result();
  ASSERT_TRUE(result);
  EXPECT_EQ(result->first, EIO);
  EXPECT_LT(result->second, 50.0);  // milliseconds of CPU
}

TEST_F(DeviceOnPty, AVanishedDeviceFailsTransfersAndQueriesButStillCloses) {
  pty_.close_master();
  char byte;
  int done = -1;
  EXPECT_EQ(device_->read(&byte, 1, done), EIO);
  EXPECT_EQ(done, 0);
  int starts = 0;
  EXPECT_EQ(device_->write("x", 1, done, [&] { ++starts; }), EIO);
  EXPECT_EQ(starts, 0);
  uint32_t errors, in_queue, out_queue, lines;
  EXPECT_EQ(device_->clear_error(errors, in_queue, out_queue), EIO);
  EXPECT_EQ(device_->modem_status(lines), EIO);
  // What closing the port needs keeps working.
  EXPECT_EQ(device_->purge(Purge::TxAbort | Purge::RxAbort), 0);
  EXPECT_EQ(device_->set_event_mask(0), 0);
  device_->cancel_wait();
}

int entries_in(const char* folder) {
  int count = 0;
  if (DIR* dir = opendir(folder)) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

TEST(DeviceLifetime, OpenCloseCyclesLeaveNoDescriptorOrThread) {
  PtyPair pty;
  auto cycle = [&] {
    auto device = open_device(pty.path());
    ASSERT_TRUE(device);
    ASSERT_EQ(device->set_state(line(4800)), 0);
    ASSERT_EQ(device->set_event_mask(0x05FF), 0);
    device->cancel_wait();
    uint32_t events;
    ASSERT_EQ(device->wait_event(events), 0);
  };
  cycle();  // first-use allocations are not leaks
  int fds = entries_in("/proc/self/fd"), tasks = entries_in("/proc/self/task");
  for (int i = 0; i < 1000 && !HasFatalFailure(); ++i) cycle();
  EXPECT_EQ(entries_in("/proc/self/fd"), fds);
  EXPECT_EQ(entries_in("/proc/self/task"), tasks);
}

}  // namespace
}  // namespace serial
