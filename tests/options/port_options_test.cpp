// The port options procedure against the real modal dialog, real receivers and
// pseudo-terminals behind the COM ports.
#include "app/options/port_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "options/option_driver.h"
#include "bench/message_boxes.h"
#include "bench/pty_port.h"
#include "win32/serial_calls.h"

namespace vantor {
namespace {

using testing::OptionDriver;
using testing::OptionShowing;

constexpr int kPellow = IDC_OPTION_PELLOW, kKestrel = IDC_OPTION_KESTREL, kCom1 = IDC_OPTION_COM1,
              kCom2 = IDC_OPTION_COM2, kCom3 = IDC_OPTION_COM3, kCom4 = IDC_OPTION_COM4;
const char kCannotOpen[] = "Cannot open serial port !\n\nAnother communication software using this port?\n\n\n";
const char kNotice[] =
    "NEC/SONYリモコンは実験用です。\nリモコン信号のリアルタイム解析の機能を持たないので動作が極端に遅延します。\n"
    "Pellow IR-55のみをサポートしています。";

std::string Describe(const std::vector<bench::CapturedBox>& boxes) {
  std::string text;
  for (const auto& box : boxes) text += "[" + box.caption + ": " + box.text + "] ";
  return text;
}

class PortOptions : public ::testing::Test {
 protected:
  void TearDown() override {
    if (kestrel.PortHandle != INVALID_HANDLE_VALUE) kestrel.Close();
    if (pellow.PortHandle != INVALID_HANDLE_VALUE) pellow.Close();
    SerialSeam() = SystemSerialCalls();
  }
  PortOptionsRecord record;
  TPortSettings port;
  TReceivers receivers{record.UseKestrel, record.UsePellow, port.RcFormatCode};
  TKestrel& kestrel = receivers.Kestrel.Raw();
  TPellow& pellow = receivers.Pellow.Raw();
  char virtualCom[256] = "";
  char mousePort[256] = "";
  TPortOptionsOwner owner{nullptr, port, record, receivers, virtualCom, mousePort};
};

TEST_F(PortOptions, CancelAtTheFirstShowingChangesNothing) {
  bench::PtyPort com1(1);
  ASSERT_TRUE(pellow.UserChangePort(1));
  record.UsePellow = record.UseCom1 = 1;
  port.ComPortNumber = 1;
  std::strcpy(port.ComPortName, "COM1");
  bench::MessageBoxCapture boxes;
  {
    OptionDriver driver({{{kKestrel, kCom2}, IDCANCEL}});
    owner.PortOptionsProcedure();
    auto seen = driver.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].checked[kPellow]);  // the dialog showed the record
    EXPECT_TRUE(seen[0].checked[kCom1]);
  }
  EXPECT_NE(pellow.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(record.UsePellow, 1);
  EXPECT_EQ(record.UseKestrel, 0);
  EXPECT_EQ(record.UseCom2, 0);
  EXPECT_EQ(port.ComPortNumber, 1);
  EXPECT_STREQ(port.ComPortName, "COM1");
  for (const auto& box : boxes.Boxes()) ADD_FAILURE() << box.caption << ": " << box.text;
}

TEST_F(PortOptions, OkWithCom3AndTheIr55ReceiverOpensItWithoutANotice) {
  bench::PtyPort com1(1), com3(3);
  ASSERT_TRUE(kestrel.UserChangePort(1));  // an open receiver is closed first
  bench::MessageBoxCapture boxes;
  {
    OptionDriver driver({{{kPellow, kCom3}, IDOK}});
    owner.PortOptionsProcedure();
    EXPECT_EQ(driver.Seen().size(), 1u);
  }
  EXPECT_EQ(kestrel.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_NE(pellow.PortHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(pellow.PortNumber, 3);
  EXPECT_EQ(port.ComPortNumber, 3);
  EXPECT_STREQ(port.ComPortName, "COM3");
  EXPECT_EQ(record.UsePellow, 1);
  EXPECT_EQ(record.UseCom3, 1);
  bench::LineSettings line;
  ASSERT_TRUE(com3.Settings(line));
  EXPECT_EQ(line.baud, 1200u);
  EXPECT_TRUE(boxes.Boxes().empty()) << Describe(boxes.Boxes());
}

TEST_F(PortOptions, APortHeldElsewhereShowsErrorThenTheDialogAgain) {
  bench::PtyPort held(2, bench::PtyPort::Mode::Held);
  bench::MessageBoxCapture boxes;
  OptionDriver driver({{{kPellow, kCom2}, IDOK}, {{}, IDCANCEL}});
  owner.PortOptionsProcedure();
  EXPECT_EQ(driver.Seen().size(), 2u);
  auto seen = boxes.Boxes();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, kCannotOpen);
  EXPECT_EQ(seen[0].caption, "Error");
  EXPECT_EQ(seen[0].style, unsigned(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(pellow.PortHandle, INVALID_HANDLE_VALUE);
}

TEST_F(PortOptions, NoReceiverOrNoPortReopensTheDialogWithoutAMessage) {
  bench::PtyPort com3(3);
  bench::MessageBoxCapture boxes;
  for (int choice : {kCom3, kPellow}) {  // a port without a receiver, a receiver without a port
    record = PortOptionsRecord{};
    OptionDriver driver({{{choice}, IDOK}, {{}, IDCANCEL}});
    owner.PortOptionsProcedure();
    EXPECT_EQ(driver.Seen().size(), 2u) << choice;
    EXPECT_EQ(pellow.PortHandle, INVALID_HANDLE_VALUE);
  }
  EXPECT_TRUE(boxes.Boxes().empty()) << Describe(boxes.Boxes());
}

// The receiver's opening purges the receive side too; the port check before it only
// the transmit side, which still works.
BOOL WINAPI ReceiverPurgeFails(HANDLE port, DWORD flags) { return flags & PURGE_RXCLEAR ? FALSE : PurgeComm(port, flags); }

TEST_F(PortOptions, TheNecSonyChoiceShowsTheNoticeAfterEveryAttempt) {
  bench::PtyPort com4(4);
  bench::MessageBoxCapture boxes;
  // First attempt: the receiver fails to configure the port; second: it opens.
  SerialSeam().PurgeComm = ReceiverPurgeFails;
  OptionDriver driver({{{kKestrel, kCom4}, IDOK}, {{}, IDOK}});
  std::thread restore([&] {
    while (boxes.Boxes().empty()) Sleep(5);
    SerialSeam() = SystemSerialCalls();
  });
  owner.PortOptionsProcedure();
  restore.join();
  EXPECT_EQ(driver.Seen().size(), 2u);
  auto seen = boxes.Boxes();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].caption, "Error I-5");
  for (int i : {1, 2}) {
    EXPECT_EQ(seen[i].caption, "TransmitterNec/Sony");
    EXPECT_EQ(seen[i].text, kNotice);
    EXPECT_EQ(seen[i].style, unsigned(MB_OK));
  }
  EXPECT_NE(kestrel.PortHandle, INVALID_HANDLE_VALUE);
}

TEST_F(PortOptions, TheIrdaDriversVirtualPortAndASerialMouseDisableTheirButtons) {
  std::strcpy(virtualCom, "COM4");
  std::strcpy(mousePort, "COM1");
  OptionDriver driver({{{}, IDCANCEL}});
  owner.PortOptionsProcedure();
  auto seen = driver.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(seen[0].enabled[kCom1]);
  EXPECT_TRUE(seen[0].enabled[kCom2]);
  EXPECT_TRUE(seen[0].enabled[kCom3]);
  EXPECT_FALSE(seen[0].enabled[kCom4]);
  EXPECT_TRUE(seen[0].enabled[kPellow]);
}

TEST_F(PortOptions, ShortOrNumberlessDriverTextsDisableNothing) {
  std::strcpy(virtualCom, "CO");
  std::strcpy(mousePort, "LPT");
  OptionDriver driver({{{}, IDCANCEL}});
  owner.PortOptionsProcedure();
  auto seen = driver.Seen();
  ASSERT_EQ(seen.size(), 1u);
  for (int id : {kCom1, kCom2, kCom3, kCom4}) EXPECT_TRUE(seen[0].enabled[id]) << id;
}

TEST_F(PortOptions, TheCheckConfiguresAtNineSixHundredAndLeavesThePortClosed) {
  bench::PtyPort com2(2);
  std::strcpy(port.ComPortName, "COM2");
  bench::MessageBoxCapture boxes;
  EXPECT_TRUE(owner.CheckSerialPort());
  bench::LineSettings line;
  ASSERT_TRUE(com2.Settings(line));
  EXPECT_EQ(line.baud, 9600u);
  // Closed again: the receiver can take it.
  EXPECT_TRUE(pellow.UserChangePort(2));
  std::strcpy(port.ComPortName, "COM9");
  EXPECT_FALSE(owner.CheckSerialPort());
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kCannotOpen);
}

}  // namespace
}  // namespace vantor
