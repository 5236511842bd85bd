// Serialising, coding and reading pages (see page_codec.h).
#include "files/velocore/page_codec.h"

#include <algorithm>
#include <cstring>

#include "files/velocore/rle.h"

namespace kor::vel {

namespace {

uint32_t RoundToBlock(uint32_t n) { return (n + kBlockSize - 1) / kBlockSize * kBlockSize; }

size_t SharedPrefix(RecordRef prev, RecordRef rec) {
  size_t limit = std::min<size_t>({kRecSharedMask, prev.size, rec.size});
  size_t n = 0;
  while (n < limit && prev.bytes[n] == rec.bytes[n]) ++n;
  return n;
}

void SerialiseRecords(const Page& page, std::vector<uint8_t>& out) {
  out.reserve(page.records.byte_total() + kRecordOverhead * page.records.size());
  for (size_t i = 0; i < page.records.size(); ++i) {
    RecordRef rec = page.records[i];
    uint8_t flags = 0;
    size_t shared = 0;
    if (i == 0) {
      flags = kRecTotalLength | kRecKeyLength;
    } else {
      RecordRef prev = page.records[i - 1];
      shared = SharedPrefix(prev, rec);
      if (prev.size != rec.size) flags |= kRecTotalLength;
      if (prev.key_length != rec.key_length) flags |= kRecKeyLength;
    }
    out.push_back(uint8_t(flags | shared));
    uint8_t len[2];
    if (flags & kRecTotalLength) {
      Put16(len, rec.size);
      out.insert(out.end(), len, len + 2);
    }
    if (flags & kRecKeyLength) {
      Put16(len, rec.key_length);
      out.insert(out.end(), len, len + 2);
    }
    out.insert(out.end(), rec.bytes + shared, rec.bytes + rec.size);
  }
}

// Parses `size` serialised bytes into the page's records.
Status ParseRecords(const uint8_t* p, size_t size, uint32_t count, Page* page) {
  size_t at = 0;
  uint16_t total = 0, key = 0;
  RecordList& list = page->records;
  list.Clear();
  // Shared prefixes make the records longer than their stored form.
  list.Reserve(count, size + 16 * size_t(count));
  for (uint32_t i = 0; i < count; ++i) {
    if (at >= size) return Check(kCheckRecordEnd);
    uint8_t flags = p[at++];
    size_t shared = flags & kRecSharedMask;
    if (i == 0 && (shared != 0 || (flags & 0xC0) != 0xC0)) return Check(kCheckRecordLayout);
    for (uint8_t bit : {kRecTotalLength, kRecKeyLength}) {
      if (!(flags & bit)) continue;
      if (size - at < 2) return Check(kCheckRecordEnd);
      (bit == kRecTotalLength ? total : key) = Get16(p + at);
      at += 2;
    }
    if (key > total || shared > total || (i > 0 && shared > list.back().size)) {
      return Check(kCheckRecordLayout);
    }
    if (size - at < size_t(total - shared)) return Check(kCheckRecordEnd);
    list.PushBackShared(shared, {p + at, size_t(total - shared)}, key);
    at += total - shared;
  }
  if (at != size) return Check(kCheckRecordEnd);
  return Status::Ok();
}

// The stored form without fill: header, children, record area.
Status Build(const Page& page, std::vector<uint8_t>& out) {
  uint32_t count = uint32_t(page.records.size());
  uint32_t head = kPgHeaderSize + (page.leaf() ? 0 : 4 * count);
  std::vector<uint8_t> area;
  SerialiseRecords(page, area);
  uint32_t plain = head + uint32_t(area.size());
  uint32_t budget = PageBudget(page);
  if (plain > budget || budget > 0xFFFF) return Check(kCheckBudget);
  bool has_run = false;
  std::vector<uint8_t> coded = RunLengthEncode(area.data(), area.size(), &has_run);
  bool use_coded = has_run && RoundToBlock(head + uint32_t(coded.size())) < RoundToBlock(plain);
  const std::vector<uint8_t>& body = use_coded ? coded : area;
  uint32_t stored = head + uint32_t(body.size());
  if (stored > kMaxPageBytes) return Check(kCheckPageTooBig);
  // The page's whole room at once: growing it by the body and then by the
  // padding left a page's coded form (kept until the commit) in a buffer
  // of up to twice its size.
  out.clear();
  out.reserve(RoundToBlock(uint32_t(head + body.size())));
  out.assign(head, 0);
  Put16(out.data() + kPgStoredSize, uint16_t(stored));
  Put16(out.data() + kPgPlainSize, uint16_t(plain));
  Put16(out.data() + kPgMemorySize, uint16_t(budget));
  Put16(out.data() + kPgCount, uint16_t(count));
  out[kPgLevel] = page.level;
  for (uint32_t i = 0; !page.leaf() && i < count; ++i) {
    Put32(out.data() + kPgHeaderSize + 4 * i, page.children[i]);
  }
  out.insert(out.end(), body.begin(), body.end());
  return Status::Ok();
}

}  // namespace

Record MakeRecord(std::span<const uint8_t> key, std::span<const uint8_t> data) {
  Record r;
  r.bytes.assign(key.begin(), key.end());
  r.bytes.insert(r.bytes.end(), data.begin(), data.end());
  r.key_length = uint16_t(key.size());
  return r;
}

void CopyRecord(RecordRef from, Record* out) {
  out->bytes.assign(from.bytes, from.bytes + from.size);
  out->key_length = from.key_length;
}

size_t LowerBound(const Page& page, std::span<const uint8_t> key) {
  return page.records.LowerBound(key);
}

size_t ChildFor(const Page& internal, std::span<const uint8_t> key) {
  size_t n = internal.records.UpperBound(key);
  return n == 0 ? 0 : n - 1;
}

uint32_t PageBudget(const Page& page) {
  uint32_t count = uint32_t(page.records.size());
  return kPgHeaderSize + (page.leaf() ? 0 : 4 * count) + kRecordOverhead * count +
         page.records.byte_total();
}

Status EncodePage(const Page& page, uint32_t own_offset, std::vector<uint8_t>* out) {
  Status s = Build(page, *out);
  if (!s.ok()) return s;
  Put32(out->data() + kPgOwnOffset, own_offset);
  out->resize(RoundToBlock(uint32_t(out->size())), kPagePad);
  return Status::Ok();
}

void SetOwnOffset(std::vector<uint8_t>* encoded, uint32_t own_offset) {
  Put32(encoded->data() + kPgOwnOffset, own_offset);
}

Status EncodedClass(const Page& page, uint32_t* blocks) {
  std::vector<uint8_t> bytes;
  Status s = Build(page, bytes);
  if (s.ok()) *blocks = RoundToBlock(uint32_t(bytes.size())) / kBlockSize;
  return s;
}

PageInfo ReadPageInfo(const uint8_t* d) {
  PageInfo info;
  info.own_offset = Get32(d + kPgOwnOffset);
  info.stored_size = Get16(d + kPgStoredSize);
  info.plain_size = Get16(d + kPgPlainSize);
  info.memory_size = Get16(d + kPgMemorySize);
  info.count = Get16(d + kPgCount);
  info.level = d[kPgLevel];
  return info;
}

Status DecodePage(const uint8_t* data, uint32_t size, Page* page, PageInfo* out_info) {
  PageInfo info = ReadPageInfo(data);
  if (out_info) *out_info = info;
  if (info.stored_size < kPgHeaderSize || RoundToBlock(info.stored_size) != size) {
    return Check(kCheckPageSize);
  }
  page->level = info.level;
  uint32_t head = kPgHeaderSize + (info.level ? 4 * uint32_t(info.count) : 0);
  if (head > info.stored_size || info.plain_size < head || info.stored_size > info.plain_size) {
    return Check(kCheckRecordEnd);
  }
  page->children.clear();
  for (uint32_t i = 0; info.level && i < info.count; ++i) {
    page->children.push_back(Get32(data + kPgHeaderSize + 4 * i));
  }
  const uint8_t* area = data + head;
  size_t area_size = info.plain_size - head;
  std::vector<uint8_t> plain;
  if (info.compressed()) {
    plain.resize(area_size);
    size_t used = 0;
    Status s = RunLengthDecode(area, info.stored_size - head, plain.data(), area_size, &used);
    if (!s.ok()) return s;
    area = plain.data();
  }
  return ParseRecords(area, area_size, info.count, page);
}

}  // namespace kor::vel
