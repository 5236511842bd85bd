// The bind tables and the scope stack of run-time expressions.
#include "runtime/expr/bind.h"

#include <cstring>
#include <string>

#include "runtime/core/error_codes.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/startup.h"
#include "runtime/locale/collation.h"
#include "runtime/os/ascii.h"
#include "runtime/values/string_stack.h"
#include "runtime/values/value_ref.h"

namespace kor {
namespace {

// A bind table is just its root; the root is the fixed entry "MMMMMMM".
using BindTable = BindEntry;

// PUSHSCOPE's record: the table that was current, the enclosing record, and
// whether outer names are hidden.
struct ScopeRecord {
  BindTable* saved;
  ScopeRecord* link;
  bool opaque;
};

BindTable* g_current = nullptr;  // null until first use
ScopeRecord* g_scopes = nullptr;

struct FunctionSpec {
  const char* name;
  uint8_t args;
  ResultClass result;
  uint8_t number;
};

constexpr ResultClass kI = ResultClass::kInteger;
constexpr ResultClass kR = ResultClass::kReal;
constexpr ResultClass kS = ResultClass::kString;

// In the order the table is filled, which keeps the tree shallow.
constexpr FunctionSpec kFunctions[kFunctionCount] = {
    {"INT", 1, kI, kFnInt},       {"INSTRING", 4, kI, kFnInstring}, {"CENTER", 2, kS, kFnCenter},
    {"RANDOM", 2, kI, kFnRandom}, {"ASIN", 1, kR, kFnAsin},         {"LOWER", 1, kS, kFnLower},
    {"AGE", 2, kS, kFnAge},       {"LOG10", 1, kR, kFnLog10},       {"ABS", 1, kR, kFnAbs},
    {"LEFT", 2, kS, kFnLeft},     {"ACOS", 1, kR, kFnAcos},         {"LEN", 1, kI, kFnLen},
    {"ALL", 2, kS, kFnAll},       {"LOGE", 1, kR, kFnLoge},         {"BOR", 2, kI, kFnBor},
    {"MEMORY", 1, kI, kFnMemory}, {"ATAN", 1, kR, kFnAtan},         {"MONTH", 1, kI, kFnMonth},
    {"BAND", 2, kI, kFnBand},     {"NUMERIC", 1, kI, kFnNumeric},   {"BSHIFT", 2, kI, kFnBshift},
    {"TAN", 1, kR, kFnTan},       {"BXOR", 2, kI, kFnBxor},         {"SIN", 1, kR, kFnSin},
    {"DAY", 1, kI, kFnDay},       {"RIGHT", 2, kS, kFnRight},       {"CLOCK", 0, kI, kFnClock},
    {"ROUND", 2, kR, kFnRound},   {"CHOOSE", 25, kS, kFnChoose},    {"SQRT", 1, kR, kFnSqrt},
    {"CHR", 1, kS, kFnChr},       {"SUB", 3, kS, kFnSub},           {"CLIP", 1, kS, kFnClip},
    {"VAL", 1, kI, kFnVal},       {"COS", 1, kR, kFnCos},           {"TODAY", 0, kI, kFnToday},
    {"DATE", 3, kI, kFnDate},     {"UPPER", 1, kS, kFnUpper},       {"INRANGE", 3, kI, kFnInrange},
    {"YEAR", 1, kI, kFnYear},     {"DEFORMAT", 2, kS, kFnDeformat}, {"INLIST", 25, kI, kFnInlist},
    {"FORMAT", 2, kS, kFnFormat}, {"GETINI", 4, kS, kFnGetini},
};

struct KeywordSpec {
  const char* name;
  uint8_t op;
};
constexpr KeywordSpec kKeywords[] = {
    {"NOT", kExprNot}, {"AND", kExprAnd}, {"OR", kExprOr}, {"XOR", kExprXor}};

char* CopyName(std::string_view name) {
  char* copy = new char[name.size() + 1];
  std::memcpy(copy, name.data(), name.size());
  copy[name.size()] = '\0';
  return copy;
}

// Releases what an entry owns, leaving its links and name.
void ClearContents(BindEntry* entry) {
  if (entry->kind == BindKind::kVariable) DestroyValueRef(entry->ref);
  entry->ref = nullptr;
}

void FreeTree(BindEntry* entry) {
  while (entry != nullptr) {
    FreeTree(entry->left);
    BindEntry* right = entry->right;
    ClearContents(entry);
    delete[] entry->name;
    delete entry;
    entry = right;
  }
}

// Adds or replaces; returns the entry, whose old contents are released.
BindEntry* Insert(BindTable* table, std::string_view name) {
  BindEntry* node = table;
  for (;;) {
    int c = CompareBindNames(name, node->name);
    if (c == 0) {
      ClearContents(node);
      return node;
    }
    BindEntry** link = c < 0 ? &node->left : &node->right;
    if (*link == nullptr) {
      *link = new BindEntry;
      (*link)->name = CopyName(name);
      return *link;
    }
    node = *link;
  }
}

BindTable* NewTable() {
  BindTable* root = new BindEntry;
  root->name = CopyName("MMMMMMM");
  for (const KeywordSpec& k : kKeywords) {
    BindEntry* e = Insert(root, k.name);
    e->kind = BindKind::kKeyword;
    e->op = k.op;
    e->result = ResultClass::kInteger;
  }
  for (const FunctionSpec& f : kFunctions) {
    BindEntry* e = Insert(root, f.name);
    e->kind = BindKind::kFunction;
    e->arg_count = f.args;
    e->result = f.result;
    e->function = f.number;
  }
  return root;
}

BindTable* CurrentTable() {
  if (g_current == nullptr) g_current = NewTable();
  return g_current;
}

const BindEntry* Search(const BindTable* table, std::string_view name) {
  const BindEntry* node = table;
  while (node != nullptr) {
    int c = CompareBindNames(name, node->name);
    if (c == 0) return node->kind == BindKind::kNone ? nullptr : node;
    node = c < 0 ? node->left : node->right;
  }
  return nullptr;
}

}  // namespace

ResultClass ResultClassForType(int type_code) {
  if (type_code <= 6) return ResultClass::kInteger;
  if (type_code <= 17) return ResultClass::kReal;
  return ResultClass::kString;
}

int CompareBindNames(std::string_view a, std::string_view b) {
  return CollateCompareNoCase(a.data(), a.size(), b.data(), b.size());
}

void BindName(std::string_view name, ValueRef* ref) {
  // A reference that could not be made has raised its runtime error already.
  if (ref == nullptr) return;
  BindEntry* e = Insert(CurrentTable(), name);
  e->kind = BindKind::kVariable;
  e->ref = ref;
  e->result = ResultClassForType(ref->TypeCode());
  e->arg_count = 0;
  e->function = 0;
  e->op = 0;
}

void BIND(ValueRef* ref) {
  std::string name = PopToStdString();
  name.resize(TrimTrailingBlanks(name).size());
  BindName(name, ref);
}

void PUSHSCOPE(int32_t transparent) {
  ScopeRecord* record = new ScopeRecord{g_current, g_scopes, transparent == 0};
  g_scopes = record;
  g_current = nullptr;
}

void POPSCOPE() {
  if (g_scopes == nullptr) {
    RaiseRuntimeError(kErrMismatchedScope, "Mismatched POPSCOPE");
    return;
  }
  FreeTree(g_current);
  ScopeRecord* record = g_scopes;
  g_current = record->saved;
  g_scopes = record->link;
  delete record;
}

const BindEntry* LookupName(std::string_view name) {
  if (const BindEntry* e = Search(CurrentTable(), name)) return e;
  for (const ScopeRecord* r = g_scopes; r != nullptr; r = r->link) {
    if (r->opaque) break;
    if (r->saved == nullptr) continue;
    if (const BindEntry* e = Search(r->saved, name)) return e;
  }
  return nullptr;
}

int ScopeDepth() {
  int depth = 0;
  for (const ScopeRecord* r = g_scopes; r != nullptr; r = r->link) ++depth;
  return depth;
}

void InitBindTables(int32_t arg) {
  if (arg == 0) return;
  while (g_scopes != nullptr) {
    FreeTree(g_current);
    ScopeRecord* record = g_scopes;
    g_current = record->saved;
    g_scopes = record->link;
    delete record;
  }
  FreeTree(g_current);
  g_current = nullptr;
}

}  // namespace kor
