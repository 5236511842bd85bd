// The DDE client: conversations with other programs over the platform's
// Dynamic Data Exchange messages. A program opens a conversation with a
// service and topic, sends command strings, requests item values into its
// variables (once, or as a standing hot link), and closes the conversation.
// Every operation posts one DDE message and waits, under the program-wide
// time-out, for the partner's answer; results and failures go to the error
// state (ERRORCODE).
//
// Channels. A channel is the number of an open conversation: never 0, not
// reused while the conversation is open. DDEexecute, DDErequest and
// DDEclose clear the error state first and post 601 "Invalid DDE channel"
// for any number that is not an open conversation (0, closed, made up).
//
// Errors:
//   601 "Invalid DDE channel"          the channel is no open conversation
//   602 "DDE channel is not open"      execute or request while the partner
//                                      is gone (it ended the conversation,
//                                      its window no longer exists) or
//                                      never answered
//   603 "DDEexecute - invalid command" an execute was refused or could not
//                                      be posted, and it did not time out
//   605 "DDE transaction timed out"    a wait reached the time-out without
//                                      taking an answer
// DDEopen posts nothing: a channel of 0 says nobody answered, and the error
// state is left as it was.
//
// Owner. A conversation belongs to the window that was the thread's top
// window when it was opened (else to the program-wide list); its hidden
// window of class "KorDDEWinClass" is a child of that window (else a
// pop-up). EVENT:DDEdata (a hot link delivered a value) and EVENT:DDEclosed
// (the partner ended the conversation) are queued on the owner window, with
// the channel, the service atom and the topic atom in the event's payload
// (data[0..2]). A conversation without an owner window queues no events.
// When the owner window closes, its conversations end (the partner is sent
// WM_DDE_TERMINATE) and report 602 until DDEclose frees them.
//
// Time-out. One program-wide value in milliseconds, default 5000; the system
// property 7CC1h shows it in hundredths of a second (reading gives ms / 10,
// writing stores value x 10). A wait sleeps until a message arrives or the
// time is up, takes nothing but its own answers meanwhile, and turns DDE
// messages that other processes send into posted ones for later.
#pragma once

#include <cstdint>
#include <string_view>

namespace kor {

class ValueRef;

// DDErequest modes.
inline constexpr int32_t kDdeOneShot = -1;  // request the value once
inline constexpr int32_t kDdeHotLink = 0;   // advise: every update lands in the variable
inline constexpr int32_t kDdeEndLink = -2;  // unadvise the links of item and variable

inline constexpr uint32_t kDdeDefaultTimeoutMs = 5000;
inline constexpr int kDdeNameMax = 79;  // longer service and topic names are cut

// Broadcasts WM_DDE_INITIATE for the service and topic ("" = any) and keeps
// the first answer; later answers are ended at once. Returns the channel,
// or 0 when nobody answered.
int32_t DDEopen(std::string_view service, std::string_view topic);

// Sends the command exactly as given (trailing blanks included) and waits
// for the acknowledgement: a positive one leaves the error state clear.
void DDEexecute(int32_t channel, std::string_view command);

// Mode kDdeOneShot: requests the item as text; the answer lands in `target`
// converted to its type. A refusal (an item the partner does not know)
// leaves the variable as it was and posts nothing.
// Mode kDdeHotLink: starts a hot link: every update of the item lands in
// `target` and queues EVENT:DDEdata on the owner window. The link keeps its
// own reference to the variable (a clone of `target`: a reference to the
// same variable; a value holder's clone would hold a copy of its own).
// Mode kDdeEndLink: ends every hot link of the item into that variable.
// An empty item name does nothing; another mode does nothing.
void DDErequest(int32_t channel, int32_t mode, std::string_view item, ValueRef* target);

// Ends the conversation (WM_DDE_TERMINATE, then the partner's answer under
// the time-out) and frees the channel.
void DDEclose(int32_t channel);

// The program-wide time-out.
uint32_t DdeTimeoutMs();
void SetDdeTimeoutMs(uint32_t ms);

// Start-up entry (priority 15: after the error state and the window
// library's globals at 16, and so closed down before them): installs the
// handler of property 7CC1h; close-down closes every conversation still
// open and removes the handler.
void InitDdeClient(int32_t arg);

}  // namespace kor

// clang-format off
#define KOR_DDE_INIT_ENTRIES \
  {15, &kor::InitDdeClient, &kor::InitDdeClient},
// clang-format on
