// The DDE client against a partner on a second thread of the test process:
// the protocol's answers, the error codes, the atoms each side owns, and the
// channel checks.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>

#include "dde/dde.h"
#include "dde/test_partner.h"
#include "runtime/core/error_codes.h"
#include "runtime/core/error_state.h"
#include "runtime/values/value_holders.h"
#include "runtime/values/value_ref.h"
#include "ui/system_target.h"

namespace kor {
namespace {

using testing::TestPartner;

// A service name of this process and test, so parallel runs never meet.
std::string UniqueName(const char* what) {
  return std::string("KorTest") + what + std::to_string(GetCurrentProcessId()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

bool AtomExists(const std::string& name) { return GlobalFindAtomA(name.c_str()) != 0; }

// Dispatches the thread's messages until `done` holds or 10 s pass.
template <typename F>
bool PumpUntil(F done) {
  DWORD start = GetTickCount();
  MSG msg;
  while (!done()) {
    if (GetTickCount() - start > 10000) return false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

class DdeClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitDdeClient(0);
    service_ = UniqueName("Svc");
  }
  void TearDown() override { InitDdeClient(1); }
  std::string service_;
};

TEST_F(DdeClientTest, NobodyAnsweringGivesChannelZeroAndKeepsTheErrorState) {
  PostError(kErrDdeTimeout);
  EXPECT_EQ(DDEopen(service_, ""), 0);
  EXPECT_EQ(ERRORCODE(), kErrDdeTimeout);
  EXPECT_FALSE(AtomExists(service_));
}

TEST_F(DdeClientTest, FirstOfTwoAnswersIsKeptAndTheSecondEnded) {
  TestPartner partner(service_, 2);
  int32_t channel = DDEopen(service_, "");
  ASSERT_NE(channel, 0);
  // The later answer is told to go at once; the first stays the partner.
  ASSERT_TRUE(PumpUntil([&] { return partner.terminates(0) + partner.terminates(1) == 1; }));
  const int ended = partner.terminates(0) == 1 ? 0 : 1;
  DDEexecute(channel, "ok");
  EXPECT_EQ(ERRORCODE(), 0);
  // Of the two answers' atoms only the kept pair is still held; closing
  // deletes it, and the kept partner got our terminate.
  EXPECT_TRUE(AtomExists(service_));
  DDEclose(channel);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(partner.terminates(1 - ended), 1);
  EXPECT_EQ(partner.terminates(ended), 1);
  EXPECT_FALSE(AtomExists(service_));
}

TEST_F(DdeClientTest, ExecuteAnswers) {
  TestPartner partner(service_, 1);
  int32_t channel = DDEopen(service_, "");
  ASSERT_NE(channel, 0);
  SetDdeTimeoutMs(300);
  struct Case {
    const char* command;
    int32_t error;
  } cases[] = {
      {"ok[ExecuteProject(\"A.app\")]   ", 0},  // sent with its trailing blanks
      {"[Refused]", kErrDdeExecuteRefused},
      {"silent", kErrDdeTimeout},  // 605 only, not 603
      {"ok", 0},
  };
  for (const Case& c : cases) {
    DDEexecute(channel, c.command);
    EXPECT_EQ(ERRORCODE(), c.error) << c.command;
  }
  auto commands = partner.commands();
  ASSERT_EQ(commands.size(), std::size(cases));
  for (size_t i = 0; i < commands.size(); ++i) EXPECT_EQ(commands[i], cases[i].command);
  DDEclose(channel);
}

TEST_F(DdeClientTest, TimedOutWaitLastsTheTimeOut) {
  TestPartner partner(service_, 1);
  int32_t channel = DDEopen(service_, "");
  ASSERT_NE(channel, 0);
  SetDdeTimeoutMs(250);
  auto start = std::chrono::steady_clock::now();
  DDEexecute(channel, "silent");
  auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(ERRORCODE(), kErrDdeTimeout);
  EXPECT_GE(spent, std::chrono::milliseconds(240));  // GetTickCount's grain
  DDEclose(channel);
}

TEST_F(DdeClientTest, LateAnswerIsNotTakenForTheNextCommand) {
  TestPartner partner(service_, 1);
  int32_t channel = DDEopen(service_, "");
  ASSERT_NE(channel, 0);
  SetDdeTimeoutMs(200);
  DDEexecute(channel, "late");
  EXPECT_EQ(ERRORCODE(), kErrDdeTimeout);
  partner.Late();  // a positive answer to "late" now waits in our queue
  DDEexecute(channel, "[Refused]");
  EXPECT_EQ(ERRORCODE(), kErrDdeExecuteRefused);
  DDEclose(channel);
}

TEST_F(DdeClientTest, OneShotRequests) {
  TestPartner partner(service_, 1);
  int32_t channel = DDEopen(service_, "");
  ASSERT_NE(channel, 0);
  const std::string known = "known" + service_;
  for (bool ack_req : {false, true}) {
    partner.data_ack_req = ack_req;
    LongValue number(7);
    DDErequest(channel, kDdeOneShot, known, &number);
    EXPECT_EQ(ERRORCODE(), 0);
    EXPECT_EQ(number.AsLong(), 42) << "ackreq " << ack_req;
  }
  // The fAckReq answer was acknowledged, with the atom handed back.
  ASSERT_TRUE(PumpUntil([&] { return partner.acks_taken() == 1; }));
  // Unknown items and other formats leave the variable and the error state.
  // (Without fAckReq no acknowledgement is in flight when the atom is
  // counted: the atom's last reference is then ours alone.)
  partner.data_ack_req = false;
  for (const std::string& item : {"unknown" + service_, "binary" + service_}) {
    GlobalAddAtomA(item.c_str());  // a reference of our own that must survive
    LongValue number(7);
    DDErequest(channel, kDdeOneShot, item, &number);
    EXPECT_EQ(ERRORCODE(), 0) << item;
    EXPECT_EQ(number.AsLong(), 7) << item;
    EXPECT_TRUE(AtomExists(item)) << item << ": deleted once too often";
    GlobalDeleteAtom(GlobalFindAtomA(item.c_str()));
    EXPECT_FALSE(AtomExists(item)) << item << ": left behind";
  }
  DDErequest(channel, kDdeOneShot, "", nullptr);  // does nothing
  EXPECT_EQ(ERRORCODE(), 0);
  DDEclose(channel);
  EXPECT_FALSE(AtomExists(known));
}

// A partner that sends its answer instead of posting it: the window
// procedure posts it again, and the wait finds it in the queue.
TEST_F(DdeClientTest, SentDataIsHandledFromTheQueue) {
  TestPartner partner(service_, 1);
  partner.send_data = true;
  int32_t channel = DDEopen(service_, "");
  ASSERT_NE(channel, 0);
  LongValue number(7);
  DDErequest(channel, kDdeOneShot, "known" + service_, &number);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(number.AsLong(), 42);
  DDEclose(channel);
}

TEST_F(DdeClientTest, HotLinkDeliversUntilEnded) {
  TestPartner partner(service_, 1);
  int32_t channel = DDEopen(service_, "");
  ASSERT_NE(channel, 0);
  const std::string item = UniqueName("Item");
  // References to variables, as a program hands them over: the link keeps
  // a clone that writes to the same variable.
  int32_t variable = 0, other_variable = 0;
  ValueRef* value = MakeValueRef(&variable, kTypeLong, sizeof variable, 0);
  ValueRef* other = MakeValueRef(&other_variable, kTypeLong, sizeof other_variable, 0);
  DDErequest(channel, kDdeHotLink, item, value);
  DestroyValueRef(value);  // the link holds its own
  ASSERT_EQ(ERRORCODE(), 0);
  EXPECT_TRUE(AtomExists(item));  // the link holds the item
  partner.Push("123");
  ASSERT_TRUE(PumpUntil([&] { return variable == 123; }));
  ASSERT_TRUE(PumpUntil([&] { return partner.acks_taken() == 1; }));
  // Ending the link of another variable ends nothing.
  DDErequest(channel, kDdeEndLink, item, other);
  EXPECT_EQ(partner.unadvised(), 0);
  value = MakeValueRef(&variable, kTypeLong, sizeof variable, 0);
  DDErequest(channel, kDdeEndLink, item, value);
  EXPECT_EQ(ERRORCODE(), 0);
  EXPECT_EQ(partner.unadvised(), 1);
  EXPECT_FALSE(AtomExists(item));
  partner.Push("456");  // unadvised: the partner sends nothing more
  DestroyValueRef(value);
  DestroyValueRef(other);
  DDEclose(channel);
  EXPECT_EQ(variable, 123);
}

TEST_F(DdeClientTest, PartnerEndingGives602UntilClosed) {
  TestPartner partner(service_, 1);
  int32_t channel = DDEopen(service_, "");
  ASSERT_NE(channel, 0);
  partner.EndConversation();
  // The partner's terminate is handled from the queue; our answer goes back.
  ASSERT_TRUE(PumpUntil([&] { return partner.terminates(0) == 1; }));
  LongValue number(7);
  for (int i = 0; i < 2; ++i) {
    DDEexecute(channel, "ok");
    EXPECT_EQ(ERRORCODE(), kErrDdeChannelNotOpen);
    DDErequest(channel, kDdeOneShot, "known" + service_, &number);
    EXPECT_EQ(ERRORCODE(), kErrDdeChannelNotOpen);
  }
  EXPECT_EQ(number.AsLong(), 7);
  DDEclose(channel);
  EXPECT_EQ(ERRORCODE(), 0);
  DDEexecute(channel, "ok");
  EXPECT_EQ(ERRORCODE(), kErrInvalidDdeChannel);
}

TEST_F(DdeClientTest, ExecuteThatEndsTheConversation) {
  TestPartner partner(service_, 1);
  int32_t channel = DDEopen(service_, "");
  ASSERT_NE(channel, 0);
  DDEexecute(channel, "bye");
  EXPECT_EQ(ERRORCODE(), 0);
  ASSERT_TRUE(PumpUntil([&] { return partner.terminates(0) == 1; }));
  DDEexecute(channel, "ok");
  EXPECT_EQ(ERRORCODE(), kErrDdeChannelNotOpen);
  DDEclose(channel);
  EXPECT_EQ(ERRORCODE(), 0);
}

TEST_F(DdeClientTest, ChannelsThatAreNoOpenConversationGive601) {
  TestPartner partner(service_, 1);
  int32_t closed = DDEopen(service_, "");
  ASSERT_NE(closed, 0);
  DDEclose(closed);
  LongValue number(7);
  for (int32_t channel : {0, closed, closed + 1000, -1}) {
    DDEexecute(channel, "ok");
    EXPECT_EQ(ERRORCODE(), kErrInvalidDdeChannel) << channel;
    DDErequest(channel, kDdeOneShot, "known", &number);
    EXPECT_EQ(ERRORCODE(), kErrInvalidDdeChannel) << channel;
    DDEclose(channel);
    EXPECT_EQ(ERRORCODE(), kErrInvalidDdeChannel) << channel;
  }
  EXPECT_EQ(number.AsLong(), 7);
  EXPECT_TRUE(partner.commands().empty());
}

TEST_F(DdeClientTest, ChannelsAreDistinctWhileOpen) {
  TestPartner partner(service_, 1);
  int32_t a = DDEopen(service_, "");
  int32_t b = DDEopen(service_, "");
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  DDEclose(a);
  DDEexecute(b, "ok");
  EXPECT_EQ(ERRORCODE(), 0);
  DDEclose(b);
}

TEST_F(DdeClientTest, TimeOutProperty) {
  EXPECT_EQ(DdeTimeoutMs(), kDdeDefaultTimeoutMs);
  EXPECT_EQ(SystemProperty(kPropDdeTimeout), "500");
  struct Case {
    const char* text;
    uint32_t ms;  // after setting, starting from 5000
  } cases[] = {
      {"500", 5000},
      {"90000", 900000},
      {" 30 ", 300},
      {"0", 0},
      {"-5", 5000},
      {"abc", 5000},
      {"1.5", 5000},
      {"", 5000},
      {"429496729", 4294967290u},
      {"429496730", 5000},
  };
  for (const Case& c : cases) {
    SetDdeTimeoutMs(5000);
    SetSystemProperty(kPropDdeTimeout, c.text);
    EXPECT_EQ(DdeTimeoutMs(), c.ms) << '"' << c.text << '"';
    EXPECT_EQ(SystemProperty(kPropDdeTimeout), std::to_string(c.ms / 10)) << c.text;
  }
}

}  // namespace
}  // namespace kor
