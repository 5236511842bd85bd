// The runtime services that expression evaluation uses.
#include "runtime/expr_services.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>

#include "runtime/collation.h"
#include "runtime/expr_eval.h"
#include "runtime/memory.h"
#include "runtime/os.h"
#include "runtime/string_stack.h"

namespace kor {

// ---- interim value reference (until the runtime's value references land) ----

class ValueRef {
 public:
  void* address;
  int type;
  int size;
};

ValueRef* MakeVariableRef(void* address, int type_code, int32_t size) {
  return new ValueRef{address, type_code, size};
}

bool IsLetterChar(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return c >= 128 && (CharClassOf(c) & (kCharUpper | kCharLower)) != 0;
}

int RefTypeCode(const ValueRef* ref) { return ref->type; }
ValueRef* CloneRef(const ValueRef* ref) { return new ValueRef(*ref); }
void DestroyRef(ValueRef* ref) { delete ref; }
void* RefFastAddress(const ValueRef* ref) {
  return ref->type == 6 || ref->type == 9 ? ref->address : nullptr;
}

namespace {
template <typename T>
T Load(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <typename T>
void Store(void* p, T v) {
  std::memcpy(p, &v, sizeof v);
}
}  // namespace

int32_t RefAsLong(const ValueRef* ref) {
  switch (ref->type) {
    case 1: return Load<uint8_t>(ref->address);
    case 2: return Load<int16_t>(ref->address);
    case 3: return Load<uint16_t>(ref->address);
    case 6: return Load<int32_t>(ref->address);
    case 8: return RealToLong(Load<float>(ref->address));
    case 9: return RealToLong(Load<double>(ref->address));
    default: RefPushString(ref); return RealToLong(PopStringAsRealValue());
  }
}

double RefAsReal(const ValueRef* ref) {
  switch (ref->type) {
    case 8: return Load<float>(ref->address);
    case 9: return Load<double>(ref->address);
    case 18: case 19: RefPushString(ref); return PopStringAsRealValue();
    default: return RefAsLong(ref);
  }
}

void RefPushString(const ValueRef* ref) {
  switch (ref->type) {
    case 18: PushString(static_cast<char*>(ref->address), ref->size); return;
    case 19: {
      const char* p = static_cast<const char*>(ref->address);
      PushString(p, static_cast<int32_t>(strnlen(p, static_cast<size_t>(ref->size))));
      return;
    }
    case 8: case 9: PushCopy(RealToText(RefAsReal(ref))); return;
    default: PushLongAsString(RefAsLong(ref)); return;
  }
}

void RefAssignLong(ValueRef* ref, int32_t v) {
  switch (ref->type) {
    case 1: Store<uint8_t>(ref->address, static_cast<uint8_t>(v)); return;
    case 2: Store<int16_t>(ref->address, static_cast<int16_t>(v)); return;
    case 3: Store<uint16_t>(ref->address, static_cast<uint16_t>(v)); return;
    case 6: Store<int32_t>(ref->address, v); return;
    case 8: Store<float>(ref->address, static_cast<float>(v)); return;
    case 9: Store<double>(ref->address, v); return;
    default: PushLongAsString(v); RefAssignFromStringStack(ref); return;
  }
}

void RefAssignReal(ValueRef* ref, double v) {
  switch (ref->type) {
    case 8: Store<float>(ref->address, static_cast<float>(v)); return;
    case 9: Store<double>(ref->address, v); return;
    case 18: case 19: PushCopy(RealToText(v)); RefAssignFromStringStack(ref); return;
    default: RefAssignLong(ref, RealToLong(v)); return;
  }
}

void RefAssignFromStringStack(ValueRef* ref) {
  switch (ref->type) {
    case 18: PopToField(static_cast<char*>(ref->address), ref->size); return;
    case 19: PopToCString(static_cast<char*>(ref->address), ref->size); return;
    case 8: case 9: RefAssignReal(ref, PopStringAsRealValue()); return;
    default: RefAssignLong(ref, RealToLong(PopStringAsRealValue())); return;
  }
}

// ---- conversions ----


double PopStringAsRealValue() {
  double v = PopStringAsReal();
  return std::isfinite(v) ? v : 0.0;
}

int32_t RealToLong(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

std::string RealToText(double v) {
  char buf[40];
  if (v == 0) v = 0;  // no "-0"
  int n = std::snprintf(buf, sizeof buf, "%.15g", v);
  return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

// ---- interim date, picture and environment functions ----

namespace {
// Days from 1 March of year 0 style civil computation.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
const int64_t kDay4 = DaysFromCivil(1801, 1, 1);
bool Leap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int MonthLength(int64_t m, int64_t y) {
  static const int kLen[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && Leap(y) ? 29 : kLen[m - 1];
}
bool ToParts(int32_t n, int64_t* y, int64_t* m, int64_t* d) {
  if (n < 4 || n > 2994626) return false;
  int64_t z = n - 4 + kDay4 + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = yoe + era * 400 + (*m <= 2);
  return true;
}
}  // namespace

uint64_t ExprSeedFromClock() {
  return static_cast<uint64_t>(std::time(nullptr)) * 1000003u + OsTickCount();
}

int32_t ExprHeapFreeBytes() {
  size_t free_bytes = GetHeapStats().free_bytes;
  return free_bytes > 2147483647u ? 2147483647 : static_cast<int32_t>(free_bytes);
}

int32_t ExprToday() {
  std::time_t t = std::time(nullptr);
  std::tm tm = *std::localtime(&t);
  return ExprDate(tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
}

int32_t ExprClock() {
  std::time_t t = std::time(nullptr);
  std::tm tm = *std::localtime(&t);
  return (tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec) * 100 + 1;
}

int32_t ExprDate(int32_t month, int32_t day, int32_t year) {
  int64_t m = month, d = day, y = year;
  if (y >= 0 && y < 100) y += y >= 46 ? 1900 : 2000;
  if (m > 12) y += (m - 1) / 12, m = (m - 1) % 12 + 1;
  // More days than the whole calendar holds cannot end inside it.
  if (m < 1 || d < 1 || d > 2994626 || y < 1801 || y > 9999) return -1;
  while (d > MonthLength(m, y)) {
    d -= MonthLength(m, y);
    if (++m > 12) m = 1, ++y;
  }
  if (y > 9999) return -1;
  return static_cast<int32_t>(DaysFromCivil(y, m, d) - kDay4 + 4);
}

int32_t ExprDatePart(int32_t date, char part) {
  int64_t y, m, d;
  if (!ToParts(date, &y, &m, &d)) return 0;
  return static_cast<int32_t>(part == 'd' ? d : (part == 'm' ? m : y));
}

void ExprAge(int32_t birth, int32_t base) {
  if (base == -1) base = ExprToday();
  int64_t by, bm, bd, ny, nm, nd;
  if (birth > base || !ToParts(birth, &by, &bm, &bd) || !ToParts(base, &ny, &nm, &nd)) {
    return PushCopy(std::string(255, '*'));
  }
  std::string out;
  if (base - birth < 61) {
    out = std::to_string(base - birth) + " DAYS";
  } else {
    int64_t months = (ny - by) * 12 + (nm - bm) - (nd < bd ? 1 : 0);
    out = months < 24 ? std::to_string(months) + " MOS" : std::to_string(months / 12) + " YRS";
  }
  PushCopy(out);
}

void ExprFormat(const ExprEvaluator& ev, int32_t value_node, const std::string& picture) {
  (void)picture;
  ev.String(value_node);
}

void ExprDeformat(const std::string& text, const std::string& picture) {
  (void)picture;
  PushCopy(text);
}


}  // namespace kor
