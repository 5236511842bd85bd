// The collating sequence, the case tables and the digraphs that drive string
// comparison, UPPER and LOWER, and the collation of string keys in data files.
//
// Collating sequence. A 256-byte table gives each character of the Windows
// (ANSI) set its sort weight; the default is the identity. A second copy,
// indexed by OEM characters, serves data files kept in the OEM set. A
// sequence given by the environment file ("KORCOLSEQ") is weighed so:
//   - the listed characters sort in the order listed, as one contiguous block
//     that starts at the weight of the lowest character code among them;
//   - every character below that code keeps its own code as weight, and the
//     unlisted characters above it follow the block in byte order;
//   - a character listed twice counts at its first place.
// So every sequence gives each of the 256 characters a distinct weight, and
// texts compare equal only when their bytes are equal (digraphs aside).
//
// Digraphs. Up to 16 entries of 3 bytes: the character, then the two
// characters it sorts as ("\xDFss" makes the sharp s sort as "ss"). When
// comparing, each digraph character is replaced by its pair before the
// weights are taken; the pair is not looked up again.
//
// Case tables. A table of case partners and a table of character classes
// (1 upper case, 2 lower case, 4 digit). A-Z and a-z are always partners and
// 0-9 are digits; pairs from 128 upward come from the environment file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kor {

inline constexpr int kMaxDigraphs = 16;
enum : uint8_t { kCharUpper = 1, kCharLower = 2, kCharDigit = 4 };

struct Digraph {
  uint8_t ch;      // the character
  uint8_t first;   // sorts as this character
  uint8_t second;  // followed by this one
};

// ---- comparison -------------------------------------------------------------

// Compares two texts through the collating sequence and the digraphs, the
// shorter one treated as padded with blanks. -1, 0 or 1.
int CollateCompare(const char* a, size_t na, const char* b, size_t nb);
// The same after mapping both texts to upper case through the case tables.
int CollateCompareNoCase(const char* a, size_t na, const char* b, size_t nb);

// ---- case -------------------------------------------------------------------

uint8_t ToUpperChar(uint8_t c);
uint8_t ToLowerChar(uint8_t c);
// The class bits of a character (kCharUpper, kCharLower, kCharDigit).
uint8_t CharClassOf(uint8_t c);
// In-place mapping of n characters.
void ToUpperText(char* p, size_t n);
void ToLowerText(char* p, size_t n);

// Replaces the pairs from 128 upward: upper[i] and lower[i] become partners
// when both are 128 or above; other positions are ignored. The shorter text
// decides how many positions there are.
void SetCasePairs(const char* upper, size_t nupper, const char* lower, size_t nlower);
// Pairs every character the system reports as a letter with its lower case.
void SetSystemCasePairs();

// ---- collating sequence -----------------------------------------------------

// The weights of the Windows set and of the OEM set (256 bytes each).
const uint8_t* CollatingSequence();
const uint8_t* CollatingSequenceOem();
// Weighs a sequence as the header comment says; n = 0 restores the identity.
// `oem` tells that the sequence is written in the OEM set; the table of the
// other set is derived through the character-set conversion.
void SetCollatingSequence(const char* seq, size_t n, bool oem);
// The order in which the system's string comparison sorts the characters 2
// to 254 (characters 0, 1 and 255 keep their codes as weights).
void SetSystemCollatingSequence();
// Keeps a copy of the current sequence (taken at start-up) and puts it back.
void SaveCollatingSequence();
void RestoreCollatingSequence();

// ---- digraphs ---------------------------------------------------------------

// Replaces the digraphs by the groups of 3 bytes in text (a trailing group
// of fewer than 3 is ignored; entries beyond 16 are ignored). n = 0 clears.
void SetDigraphs(const char* text, size_t n);
// Adds one entry; false when 16 are already there.
bool AddDigraph(const Digraph& d);
void ClearDigraphs();
int DigraphCount();
// Entry i (0-based) in the Windows set and in the OEM set.
Digraph DigraphAt(int i);
Digraph DigraphOemAt(int i);

// ---- data-file collation record -----------------------------------------------

// The tables a data file stores at CREATE so that its keys keep their order
// wherever it is opened. Byte layout (1,152 bytes):
//   offset size  contents
//        0  256  weights of the Windows set
//      256  256  weights of the OEM set
//      512  256  upper case of each Windows character
//      768  256  upper case of each OEM character
//     1024   48  16 digraph entries in the Windows set (character, pair)
//     1072   48  the same entries in the OEM set
//     1120    1  number of digraph entries in use
//     1121   31  zero
struct CollationRecord {
  uint8_t weight[256];
  uint8_t weight_oem[256];
  uint8_t upper[256];
  uint8_t upper_oem[256];
  uint8_t digraphs[kMaxDigraphs * 3];
  uint8_t digraphs_oem[kMaxDigraphs * 3];
  uint8_t digraph_count;
  uint8_t reserved[31];
};
static_assert(sizeof(CollationRecord) == 256 * 4 + 48 * 2 + 1 + 31);
static_assert(sizeof(CollationRecord) == 1152);

// Fills a record with the runtime's current tables.
void SaveCollationRecord(CollationRecord* out);
// Collates the n bytes of a string key component in place: with `nocase`
// each character is first turned to upper case, then mapped to its weight;
// `oem` selects the record's OEM tables (the file keeps OEM text).
void CollateKeyBytes(const CollationRecord& record, bool oem, bool nocase, uint8_t* p, size_t n);

// ---- state ------------------------------------------------------------------

// Identity sequence, default case tables, no digraphs.
void ResetCollation();

}  // namespace kor
