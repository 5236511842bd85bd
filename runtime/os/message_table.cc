// Compiled-in form of resources/messages.inc (the one source list of texts).
#include "runtime/os/message_table.h"

#include <algorithm>
#include <iterator>

namespace kor {

namespace {
struct Message {
  uint32_t id;
  const char* text;
};
#define MXB_MESSAGE(id, name, text) {id, text},
constexpr Message kMessages[] = {
#include "resources/messages.inc"
};
#undef MXB_MESSAGE
}  // namespace

const char* FindCompiledMessage(uint32_t id) {
  // The list is in ascending id order; checked by the tests.
  auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), id,
                             [](const Message& m, uint32_t v) { return m.id < v; });
  if (it == std::end(kMessages) || it->id != id) return nullptr;
  return it->text;
}

}  // namespace kor
