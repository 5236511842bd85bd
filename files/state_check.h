// The common state check run before every driver operation and the state
// update run after it, over the operation state table.
#pragma once

#include <cstdint>

#include "files/file_decl.h"
#include "runtime/core/error_codes.h"

namespace kor {

// The check before an operation. `state` is the file state word, `key` the
// KEY descriptor of a key form (else null), `position`/`position_length` the
// position string of RESET and REGET (ignored by the other operations).
// Returns 0 to go on, an error code, or -1 for a silent refusal.
int32_t StateCheck(int32_t op, uint32_t state, const KeyDescriptor* key, const char* position,
                   uint32_t position_length);

// What the update after an operation decides about the control block.
struct StateUpdateResult {
  bool release;           // release the control block and empty the FILE's slot
  uint32_t result_flags;  // kind bits gathered on success
};

// The update after an operation with `result` (0 success, an error code or
// -1). Changes the file state word and, for a build-on-demand key, the key's
// state. `created` says whether this call built the control block. A
// file-level operation (CLOSE, COPY, CREATE, REMOVE, RENAME) releases the
// block on success and on every failure but 52 and 56, which leave an open
// file as it was.
StateUpdateResult StateUpdate(int32_t op, int32_t result, uint32_t* state, KeyDescriptor* key,
                              bool created);

}  // namespace kor
