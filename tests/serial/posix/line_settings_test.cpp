// Device control block to termios: the fields a pty does not keep (it forces
// CS8 and drops PARENB) are checked on the translation itself.
#include "serial/posix/line_settings.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace serial {
namespace {

Dcb dcb_8n1(uint32_t rate) {
  Dcb dcb;
  dcb.BaudRate = rate;
  dcb.Flags = DcbFlag::Binary;
  dcb.ByteSize = 8;
  return dcb;
}

LineSettings translate(const Dcb& dcb) {
  termios current{};
  current.c_iflag = ICRNL | IXON | IGNPAR;
  current.c_oflag = OPOST | ONLCR;
  current.c_lflag = ICANON | ECHO | ISIG;
  current.c_cflag = HUPCL | PARENB | CS7;
  LineSettings settings;
  EXPECT_EQ(line_settings_from_dcb(dcb, current, settings), 0);
  return settings;
}

constexpr tcflag_t kParityBits = PARENB | PARODD | CMSPAR;

TEST(TermiosLineSettings, DataBitsParityAndStopBits) {
  const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
  for (uint8_t size = 5; size <= 8; ++size) {
    Dcb dcb = dcb_8n1(9600);
    dcb.ByteSize = size;
    EXPECT_EQ(translate(dcb).tio.c_cflag & CSIZE, sizes[size - 5]);
  }
  const tcflag_t parities[] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD, PARENB | CMSPAR};
  for (uint8_t parity = 0; parity <= 4; ++parity) {
    Dcb dcb = dcb_8n1(9600);
    dcb.Parity = parity;
    EXPECT_EQ(translate(dcb).tio.c_cflag & kParityBits, parities[parity]) << int(parity);
  }
  for (uint8_t stop = 0; stop <= 2; ++stop) {
    Dcb dcb = dcb_8n1(9600);
    dcb.StopBits = stop;
    EXPECT_EQ((translate(dcb).tio.c_cflag & CSTOPB) != 0, stop != 0) << int(stop);
  }
}

TEST(TermiosLineSettings, RawLineOwnedByTheProgram) {
  termios t = translate(dcb_8n1(4800)).tio;
  EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IGNPAR | INPCK | PARMRK), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD | HUPCL), CLOCAL | CREAD);
  EXPECT_EQ(t.c_cc[VMIN], 1);
  EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST(TermiosLineSettings, SpeedsWithoutAConstantGoThroughTheCustomRate) {
  LineSettings standard = translate(dcb_8n1(4800));
  EXPECT_EQ(standard.custom_rate, 0u);
  EXPECT_EQ(cfgetospeed(&standard.tio), B4800);
  EXPECT_EQ(standard.byte_time_us, 10 * 1000000 / 4800);
  EXPECT_EQ(translate(dcb_8n1(31250)).custom_rate, 31250u);
  EXPECT_EQ(translate(dcb_8n1(256000)).custom_rate, 256000u);
}

TEST(TermiosLineSettings, FlowControlAndLineLevels) {
  Dcb dcb = dcb_8n1(9600);
  LineSettings none = translate(dcb);
  EXPECT_EQ(none.tio.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(none.dtr, 0);
  EXPECT_EQ(none.rts, 0);

  dcb.Flags |= 0x0010 /* DTR enable */ | 0x1000 /* RTS enable */;
  LineSettings enabled = translate(dcb);
  EXPECT_EQ(enabled.dtr, 1);
  EXPECT_EQ(enabled.rts, 1);

  // Hardware flow control: the kernel drives RTS.
  dcb = dcb_8n1(9600);
  dcb.Flags |= 0x2000 /* RTS handshake */ | DcbFlag::OutxCtsFlow;
  LineSettings hardware = translate(dcb);
  EXPECT_NE(hardware.tio.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(hardware.rts, -1);
  // RTS handshake without the CTS side cannot be CRTSCTS: RTS stays up.
  dcb.Flags &= ~DcbFlag::OutxCtsFlow;
  LineSettings half = translate(dcb);
  EXPECT_EQ(half.tio.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(half.rts, 1);

  dcb = dcb_8n1(9600);
  dcb.Flags |= DcbFlag::OutX;
  dcb.XonChar = 'Q';
  dcb.XoffChar = 'S';
  LineSettings software = translate(dcb);
  EXPECT_EQ(software.tio.c_iflag & (IXON | IXOFF), tcflag_t{IXON});
  EXPECT_EQ(software.tio.c_cc[VSTART], 'Q');
  EXPECT_EQ(software.tio.c_cc[VSTOP], 'S');
}

TEST(TermiosLineSettings, ParityCheckMarksBadBytesForReplacementOnlyWhenAskedTo) {
  Dcb dcb = dcb_8n1(9600);
  dcb.Parity = 2;
  dcb.Flags |= DcbFlag::ParityCheck;
  dcb.ErrorChar = '?';
  EXPECT_EQ(translate(dcb).tio.c_iflag & (INPCK | PARMRK), 0u);  // bytes kept as received
  EXPECT_FALSE(translate(dcb).receive.errors_marked);
  dcb.Flags |= DcbFlag::ErrorChar;
  const LineSettings replacing = translate(dcb);
  EXPECT_EQ(replacing.tio.c_iflag & (INPCK | PARMRK | ISTRIP), tcflag_t{INPCK | PARMRK});
  EXPECT_TRUE(replacing.receive.errors_marked);
  EXPECT_EQ(replacing.receive.replace_char, '?');
}

TEST(TermiosLineSettings, RefusesWhatTheLineCannotTake) {
  termios current{};
  LineSettings settings;
  for (auto change : {+[](Dcb& d) { d.BaudRate = 0; }, +[](Dcb& d) { d.ByteSize = 4; }, +[](Dcb& d) { d.ByteSize = 9; },
                      +[](Dcb& d) { d.Parity = 5; }, +[](Dcb& d) { d.StopBits = 3; }}) {
    Dcb dcb = dcb_8n1(9600);
    change(dcb);
    EXPECT_EQ(line_settings_from_dcb(dcb, current, settings), EINVAL);
  }
}

}  // namespace
}  // namespace serial
