// Cell layouts of the date and time pictures, including those made from the
// system's own date and time patterns.
#pragma once

#include <string_view>

#include "runtime/pictures/picture.h"

namespace kor {

// Fills p->cells and p->width for date picture n (1-18) or time picture n
// (1-8); false for any other number.
bool BuildDateCells(int n, Picture* p);
bool BuildTimeCells(int n, Picture* p);

// Translates a system date pattern ("MM/dd/yy", "dddd, MMMM dd, yyyy") into
// cells: d/dd day (blank/zero fill), M/MM month, MMM three and MMMM the
// longest month name's letters, y/yy two and yyy/yyyy four year digits;
// quoted text is literal and other non-letters are separators. Day names
// (ddd, dddd) and eras (g) have no cell: they are left out together with the
// punctuation that follows them. False when nothing or too much results.
bool CellsFromDatePattern(std::string_view pattern, Picture* p);

// The length of the run of cells with the same code that starts at cell k
// (k below p.width): the digits of one field, a month name, a day-half mark.
int CellRunLength(const Picture& p, int k);

}  // namespace kor
