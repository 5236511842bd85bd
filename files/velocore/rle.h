// The run-length code of a page's record area.
//
// The coded form is a sequence of pairs: a literal count, that many literal
// bytes, then a repeat count meaning the last literal byte is repeated that
// many more times. Counts are unsigned base-128 numbers, least significant
// group first, bit 0x80 on every byte but the last. Decoding stops when the
// output reaches the uncompressed size, so a literal part that fills the
// output carries no repeat count.
//
// The coder emits a pair only for a run of 4 or more equal bytes: the
// literal part ends with the run's first byte and the repeat count is the run
// length - 1. After the last run the remaining bytes form a final literal
// part, possibly of count 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/velocore/status.h"

namespace kor::vel {

inline constexpr size_t kMinRun = 4;

// Codes `size` bytes. *has_run tells whether any run of 4 was found (without
// one the page is kept plain).
std::vector<uint8_t> RunLengthEncode(const uint8_t* data, size_t size, bool* has_run);
// Decodes into exactly `out_size` bytes; coded data that ends early, a count
// that overruns the output or a repeat with nothing before it is internal
// check 1164. *used receives the coded bytes consumed.
Status RunLengthDecode(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size,
                       size_t* used);

}  // namespace kor::vel
