// Reading and writing the file header and its size-class geometry.
#include "files/velocore/header.h"

#include <cstring>

namespace kor::vel {

uint32_t Header::UsedEnd() const {
  for (uint32_t k = kMaxClass; k >= 1; --k) {
    if (end[k] != start[k]) return kHeaderSize + kBlockSize * end[k];
  }
  return kHeaderSize + kBlockSize * end[0];
}

uint32_t Header::ClassOf(uint32_t page) const {
  for (uint32_t k = 1; k <= kMaxClass; ++k) {
    if (start[k] <= page && page < end[k]) return (page - start[k]) % k == 0 ? k : 0;
  }
  return 0;
}

Header NewHeader() { return Header{}; }

void EncodeHeader(const Header& h, uint8_t out[kHeaderSize]) {
  std::memset(out, 0, kHeaderSize);
  Put32(out + kHdrOwnOffset, 0);
  Put16(out + kHdrSize, kHeaderSize);
  Put32(out + kHdrJournalStart, h.journal_start);
  Put32(out + kHdrJournalEnd, h.journal_end);
  std::memcpy(out + kHdrSignature, kSignature, 4);
  Put16(out + kHdrReserved, h.reserved);
  Put32BE(out + kHdrRecordCounter, h.record_counter);
  Put32(out + kHdrChangeCounter, h.change_counter);
  Put32(out + kHdrRoot, h.root);
  for (uint32_t k = 0; k < kClassCount; ++k) {
    Put32(out + kHdrRangeStart + 4 * k, h.start[k]);
    Put32(out + kHdrRangeEnd + 4 * k, h.end[k]);
  }
}

bool RangesValid(const Header& h) {
  uint32_t floor = h.end[0];
  if (h.start[0] > h.end[0]) return false;
  for (uint32_t k = 1; k <= kMaxClass; ++k) {
    if (h.start[k] > h.end[k] || (h.end[k] - h.start[k]) % k != 0) return false;
    if (h.end[k] > kMaxPageNumber) return false;
    if (h.start[k] == h.end[k]) continue;  // an empty range takes no room
    if (h.start[k] < floor) return false;
    floor = h.end[k];
  }
  return true;
}

Status DecodeHeader(const uint8_t in[kHeaderSize], Header* h, bool check_ranges) {
  if (Get32(in + kHdrOwnOffset) != 0 || Get16(in + kHdrSize) != kHeaderSize ||
      std::memcmp(in + kHdrSignature, kSignature, 4) != 0) {
    return Status::Error(kErrInvalidDataFile);
  }
  h->journal_start = Get32(in + kHdrJournalStart);
  h->journal_end = Get32(in + kHdrJournalEnd);
  h->reserved = Get16(in + kHdrReserved);
  h->record_counter = Get32BE(in + kHdrRecordCounter);
  h->change_counter = Get32(in + kHdrChangeCounter);
  h->root = Get32(in + kHdrRoot);
  for (uint32_t k = 0; k < kClassCount; ++k) {
    h->start[k] = Get32(in + kHdrRangeStart + 4 * k);
    h->end[k] = Get32(in + kHdrRangeEnd + 4 * k);
  }
  if (check_ranges && !RangesValid(*h)) return Check(kCheckRanges);
  return Status::Ok();
}

Status IssueRecordNumber(Header* h, uint32_t* number) {
  uint32_t next = h->record_counter + 1;
  if ((next >> 24) >= 0xFE) return Check(kCheckFileFull);
  h->record_counter = next;
  *number = next;
  return Status::Ok();
}

}  // namespace kor::vel
