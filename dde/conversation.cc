// The registry of open conversations: channel numbers and owner lists.
#include "dde/conversation.h"

#include <limits>
#include <memory>

#include "runtime/values/value_ref.h"

namespace kor {

namespace {

// Open conversations, oldest first. Only the program's user-interface thread
// touches them.
std::vector<std::unique_ptr<Conversation>>& Conversations() {
  static std::vector<std::unique_ptr<Conversation>> conversations;
  return conversations;
}

int32_t g_last_channel = 0;

// The next number after the last one given that no open conversation uses;
// after the largest it starts again at 1.
int32_t NextChannel() {
  for (;;) {
    g_last_channel = g_last_channel == std::numeric_limits<int32_t>::max() ? 1 : g_last_channel + 1;
    if (FindConversation(g_last_channel) == nullptr) return g_last_channel;
  }
}

}  // namespace

Conversation* NewConversation(Window* owner) {
  auto conversation = std::make_unique<Conversation>();
  conversation->channel = NextChannel();
  conversation->owner = owner;
  Conversations().push_back(std::move(conversation));
  return Conversations().back().get();
}

Conversation* FindConversation(int32_t channel) {
  if (channel == 0) return nullptr;
  for (const auto& c : Conversations())
    if (c->channel == channel) return c.get();
  return nullptr;
}

void FreeConversation(Conversation* conversation) {
  auto& all = Conversations();
  for (auto it = all.begin(); it != all.end(); ++it) {
    if (it->get() != conversation) continue;
    for (DdeLink& link : conversation->links) ReleaseLink(link);
    all.erase(it);
    return;
  }
}

std::vector<int32_t> AllChannels() {
  std::vector<int32_t> channels;
  for (const auto& c : Conversations()) channels.push_back(c->channel);
  return channels;
}

HWND LiveServer(Conversation& conversation) {
  if (conversation.server != nullptr && !IsWindow(conversation.server))
    conversation.server = nullptr;
  return conversation.server;
}

void ReleaseLink(DdeLink& link) {
  if (link.item != 0) GlobalDeleteAtom(link.item);
  if (link.hot) DestroyValueRef(link.target);
  link.item = 0;
  link.target = nullptr;
}

}  // namespace kor
