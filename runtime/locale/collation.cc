// The collating sequence, case tables and digraphs, and comparison through them.
#include "runtime/locale/collation.h"

#include <string.h>

#include <algorithm>

#include "runtime/os/os.h"

namespace kor {

namespace {

struct Tables {
  uint8_t weight[256];
  uint8_t weight_oem[256];
  uint8_t saved_weight[256];
  uint8_t saved_weight_oem[256];
  bool saved;
  uint8_t partner[256];
  uint8_t char_class[256];
  // Derived tables, rebuilt whenever the weights or the case tables change:
  // the upper case of each character, and the weight of that upper case.
  uint8_t upper[256];
  uint8_t nocase_weight[256];
  Digraph digraphs[kMaxDigraphs];
  Digraph digraphs_oem[kMaxDigraphs];
  int digraph_count;
  // 1 + index of the character's digraph entry; 0 when it has none.
  uint8_t digraph_of[256];
};

// The default tables, built at compile time so that they hold before any
// initialisation procedure runs: identity weights, A-Z paired with a-z,
// 0-9 digits, no digraphs.
constexpr Tables DefaultTables() {
  Tables t{};
  for (int c = 0; c < 256; ++c) {
    t.weight[c] = t.weight_oem[c] = t.partner[c] = t.upper[c] = t.nocase_weight[c] =
        static_cast<uint8_t>(c);
  }
  for (int c = 'A'; c <= 'Z'; ++c) {
    int l = c - 'A' + 'a';
    t.partner[c] = static_cast<uint8_t>(l);
    t.partner[l] = static_cast<uint8_t>(c);
    t.char_class[c] = kCharUpper;
    t.char_class[l] = kCharLower;
    t.upper[l] = t.nocase_weight[l] = static_cast<uint8_t>(c);
  }
  for (int c = '0'; c <= '9'; ++c) t.char_class[c] = kCharDigit;
  return t;
}
constinit Tables g = DefaultTables();

uint8_t ToOem(uint8_t c) {
  char in = static_cast<char>(c), out;
  OsAnsiToOem(&in, &out, 1);
  return static_cast<uint8_t>(out);
}

uint8_t ToAnsi(uint8_t c) {
  char in = static_cast<char>(c), out;
  OsOemToAnsi(&in, &out, 1);
  return static_cast<uint8_t>(out);
}

void RebuildNoCase() {
  for (int c = 0; c < 256; ++c) {
    g.upper[c] = g.char_class[c] == kCharLower ? g.partner[c] : static_cast<uint8_t>(c);
    g.nocase_weight[c] = g.weight[g.upper[c]];
  }
}

void RebuildDigraphIndex() {
  memset(g.digraph_of, 0, sizeof g.digraph_of);
  for (int i = 0; i < g.digraph_count; ++i)
    g.digraph_of[g.digraphs[i].ch] = static_cast<uint8_t>(i + 1);
}

void IdentityWeights() {
  for (int c = 0; c < 256; ++c) g.weight[c] = g.weight_oem[c] = static_cast<uint8_t>(c);
}

// Derives the table of the other character set through the conversion.
// The conversion is not one to one (several characters become "?" or "+"),
// so the derived table ranks each character by the weight of its converted
// form and, among equals, by its own code: the order carries over and every
// weight stays distinct.
void DeriveWeights(const uint8_t source[256], uint8_t (*convert)(uint8_t), uint8_t out[256]) {
  uint16_t key[256];
  for (int c = 0; c < 256; ++c)
    key[c] = static_cast<uint16_t>(source[convert(static_cast<uint8_t>(c))] << 8 | c);
  std::sort(key, key + 256);
  for (int rank = 0; rank < 256; ++rank) out[key[rank] & 0xFF] = static_cast<uint8_t>(rank);
}
void DeriveOemWeights() { DeriveWeights(g.weight, ToAnsi, g.weight_oem); }
void DeriveAnsiWeights() { DeriveWeights(g.weight_oem, ToOem, g.weight); }

// Weights from an order: order[k] gets weight k.
void WeightsFromOrder(const uint8_t order[256], uint8_t weight[256]) {
  for (int k = 0; k < 256; ++k) weight[order[k]] = static_cast<uint8_t>(k);
}

void ClearHighCasePairs() {
  for (int c = 128; c < 256; ++c) {
    g.partner[c] = static_cast<uint8_t>(c);
    g.char_class[c] = 0;
  }
}

void Pair(uint8_t upper, uint8_t lower) {
  // A character that was paired before loses its old partner.
  for (uint8_t c : {upper, lower}) {
    uint8_t old = g.partner[c];
    if (old != c && g.partner[old] == c) {
      g.partner[old] = old;
      g.char_class[old] = 0;
    }
  }
  g.partner[upper] = lower;
  g.partner[lower] = upper;
  g.char_class[upper] = kCharUpper;
  g.char_class[lower] = kCharLower;
}

// Yields the characters of a text with its digraphs expanded, then blanks.
class Expander {
 public:
  Expander(const uint8_t* p, size_t n, const uint8_t* map) : p_(p), end_(p + n), map_(map) {}
  bool done() const { return p_ == end_ && !pending_; }
  uint8_t Next() {
    if (pending_) {
      pending_ = false;
      return second_;
    }
    if (p_ == end_) return ' ';
    uint8_t c = map_ ? map_[*p_] : *p_;
    ++p_;
    uint8_t entry = g.digraph_of[c];
    if (entry == 0) return c;
    const Digraph& d = g.digraphs[entry - 1];
    pending_ = true;
    second_ = map_ ? map_[d.second] : d.second;
    return map_ ? map_[d.first] : d.first;
  }

 private:
  const uint8_t* p_;
  const uint8_t* end_;
  const uint8_t* map_;  // case mapping applied before the digraph lookup, or null
  bool pending_ = false;
  uint8_t second_ = 0;
};

int CompareWithDigraphs(const uint8_t* a, size_t na, const uint8_t* b, size_t nb, bool nocase) {
  const uint8_t* map = nocase ? g.upper : nullptr;
  Expander ea(a, na, map), eb(b, nb, map);
  while (!ea.done() || !eb.done()) {
    uint8_t wa = g.weight[ea.Next()], wb = g.weight[eb.Next()];
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  return 0;
}

int CompareWeights(const uint8_t* a, size_t na, const uint8_t* b, size_t nb, const uint8_t* w) {
  size_t n = na < nb ? na : nb;
  for (size_t i = 0; i < n; ++i) {
    uint8_t wa = w[a[i]], wb = w[b[i]];
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  // The rest of the longer text against blanks.
  const uint8_t* rest = na > nb ? a : b;
  size_t nrest = na > nb ? na : nb;
  int sign = na > nb ? 1 : -1;
  uint8_t blank = w[static_cast<uint8_t>(' ')];
  for (size_t i = n; i < nrest; ++i) {
    uint8_t wr = w[rest[i]];
    if (wr != blank) return wr > blank ? sign : -sign;
  }
  return 0;
}

}  // namespace

namespace {
// Equal bytes weigh the same and expand the same, so the comparison may
// start at the first byte where the texts differ.
size_t CommonPrefix(const uint8_t* a, const uint8_t* b, size_t n) {
  size_t i = 0;
  while (i + 8 <= n && memcmp(a + i, b + i, 8) == 0) i += 8;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

int Collate(const char* a, size_t na, const char* b, size_t nb, bool nocase) {
  auto* ua = reinterpret_cast<const uint8_t*>(a);
  auto* ub = reinterpret_cast<const uint8_t*>(b);
  size_t skip = CommonPrefix(ua, ub, na < nb ? na : nb);
  ua += skip, ub += skip, na -= skip, nb -= skip;
  if (g.digraph_count > 0) return CompareWithDigraphs(ua, na, ub, nb, nocase);
  return CompareWeights(ua, na, ub, nb, nocase ? g.nocase_weight : g.weight);
}
}  // namespace

int CollateCompare(const char* a, size_t na, const char* b, size_t nb) {
  return Collate(a, na, b, nb, false);
}

int CollateCompareNoCase(const char* a, size_t na, const char* b, size_t nb) {
  return Collate(a, na, b, nb, true);
}

uint8_t ToUpperChar(uint8_t c) { return g.upper[c]; }
uint8_t ToLowerChar(uint8_t c) { return g.char_class[c] == kCharUpper ? g.partner[c] : c; }
uint8_t CharClassOf(uint8_t c) { return g.char_class[c]; }

void ToUpperText(char* p, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<char>(g.upper[static_cast<uint8_t>(p[i])]);
}

void ToLowerText(char* p, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = static_cast<char>(ToLowerChar(static_cast<uint8_t>(p[i])));
}

void SetCasePairs(const char* upper, size_t nupper, const char* lower, size_t nlower) {
  ClearHighCasePairs();
  size_t n = nupper < nlower ? nupper : nlower;
  for (size_t i = 0; i < n; ++i) {
    auto u = static_cast<uint8_t>(upper[i]), l = static_cast<uint8_t>(lower[i]);
    if (u >= 128 && l >= 128 && u != l) Pair(u, l);
  }
  RebuildNoCase();
}

void SetSystemCasePairs() {
  ClearHighCasePairs();
  for (int c = 128; c < 256; ++c) {
    auto u = static_cast<uint8_t>(c);
    if (!OsIsCharAlpha(u)) continue;
    uint8_t l = OsCharLower(u);
    if (l != u && l >= 128) Pair(u, l);
  }
  RebuildNoCase();
}

const uint8_t* CollatingSequence() { return g.weight; }
const uint8_t* CollatingSequenceOem() { return g.weight_oem; }

void SetCollatingSequence(const char* seq, size_t n, bool oem) {
  if (n == 0) {
    IdentityWeights();
    RebuildNoCase();
    return;
  }
  bool listed[256] = {};
  uint8_t block[256];
  int nblock = 0;
  int lowest = 256;
  for (size_t i = 0; i < n; ++i) {
    auto c = static_cast<uint8_t>(seq[i]);
    if (listed[c]) continue;
    listed[c] = true;
    block[nblock++] = c;
    if (c < lowest) lowest = c;
  }
  uint8_t order[256];
  int k = 0;
  for (int c = 0; c < lowest; ++c) order[k++] = static_cast<uint8_t>(c);
  for (int i = 0; i < nblock; ++i) order[k++] = block[i];
  for (int c = lowest + 1; c < 256; ++c)
    if (!listed[c]) order[k++] = static_cast<uint8_t>(c);
  if (oem) {
    WeightsFromOrder(order, g.weight_oem);
    DeriveAnsiWeights();
  } else {
    WeightsFromOrder(order, g.weight);
    DeriveOemWeights();
  }
  RebuildNoCase();
}

void SetSystemCollatingSequence() {
  uint8_t order[256];
  order[0] = 0;
  order[1] = 1;
  OsSystemCharacterOrder(order + 2);
  order[255] = 255;
  WeightsFromOrder(order, g.weight);
  DeriveOemWeights();
  RebuildNoCase();
}

void SaveCollatingSequence() {
  memcpy(g.saved_weight, g.weight, 256);
  memcpy(g.saved_weight_oem, g.weight_oem, 256);
  g.saved = true;
}

void RestoreCollatingSequence() {
  if (!g.saved) {
    IdentityWeights();
  } else {
    memcpy(g.weight, g.saved_weight, 256);
    memcpy(g.weight_oem, g.saved_weight_oem, 256);
  }
  RebuildNoCase();
}

void ClearDigraphs() {
  g.digraph_count = 0;
  RebuildDigraphIndex();
}

bool AddDigraph(const Digraph& d) {
  if (g.digraph_count >= kMaxDigraphs) return false;
  g.digraphs[g.digraph_count] = d;
  g.digraphs_oem[g.digraph_count] = Digraph{ToOem(d.ch), ToOem(d.first), ToOem(d.second)};
  ++g.digraph_count;
  RebuildDigraphIndex();
  return true;
}

void SetDigraphs(const char* text, size_t n) {
  ClearDigraphs();
  for (size_t i = 0; i + 3 <= n; i += 3) {
    auto* p = reinterpret_cast<const uint8_t*>(text + i);
    if (!AddDigraph(Digraph{p[0], p[1], p[2]})) break;
  }
}

int DigraphCount() { return g.digraph_count; }

Digraph DigraphAt(int i) {
  return i >= 0 && i < g.digraph_count ? g.digraphs[i] : Digraph{0, 0, 0};
}

Digraph DigraphOemAt(int i) {
  return i >= 0 && i < g.digraph_count ? g.digraphs_oem[i] : Digraph{0, 0, 0};
}

void SaveCollationRecord(CollationRecord* out) {
  memset(out, 0, sizeof *out);
  memcpy(out->weight, g.weight, 256);
  memcpy(out->weight_oem, g.weight_oem, 256);
  for (int c = 0; c < 256; ++c) {
    auto u = static_cast<uint8_t>(c);
    out->upper[c] = ToUpperChar(u);
    out->upper_oem[c] = ToOem(ToUpperChar(ToAnsi(u)));
  }
  static_assert(sizeof(Digraph) == 3);
  memcpy(out->digraphs, g.digraphs, sizeof(Digraph) * g.digraph_count);
  memcpy(out->digraphs_oem, g.digraphs_oem, sizeof(Digraph) * g.digraph_count);
  out->digraph_count = static_cast<uint8_t>(g.digraph_count);
}

void CollateKeyBytes(const CollationRecord& record, bool oem, bool nocase, uint8_t* p, size_t n) {
  const uint8_t* weight = oem ? record.weight_oem : record.weight;
  const uint8_t* upper = oem ? record.upper_oem : record.upper;
  if (nocase) {
    for (size_t i = 0; i < n; ++i) p[i] = weight[upper[p[i]]];
  } else {
    for (size_t i = 0; i < n; ++i) p[i] = weight[p[i]];
  }
}

void ResetCollation() { g = DefaultTables(); }

}  // namespace kor
