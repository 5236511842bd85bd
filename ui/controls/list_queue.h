// What a list box is given for its rows: the program's queue and the layout
// of its records. A list record's source descriptor (type 26, QUEUE) binds
// to the address of a QueueBinding; the list reads the records by 1-based
// position and the fields by their 1-based number in `fields`.
//
// A field outside the layout, or one that does not fit inside the record,
// reads as an empty text; a missing queue is an empty list.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/core/queue.h"

namespace kor {

struct QueueField {
  int32_t type = 0;    // type code (data_types.h)
  int32_t offset = 0;  // in the record
  int32_t size = 0;    // bytes
  int32_t places = 0;  // DECIMAL, PDECIMAL
};

struct QueueBinding {
  Queue* queue = nullptr;
  const QueueField* fields = nullptr;
  int32_t field_count = 0;
};

// Field `field` (1-based) of `row` (a record of the queue) formatted with
// `picture` ("@S30" style; empty = the language's string conversion).
std::string FormatQueueField(const QueueBinding& binding, const void* row, int32_t field,
                             const std::string& picture);
// The same field as a whole number (colours, icons, tree levels); 0 when
// there is none.
int32_t QueueFieldLong(const QueueBinding& binding, const void* row, int32_t field);
// The record count (0 without a queue).
int32_t QueueRecords(const QueueBinding* binding);

}  // namespace kor
