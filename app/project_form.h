// The project form "MXB002_RSC" (label "P1$FORMWINDOW"): inserts, changes or
// deletes the project record in the buffer.
//
//   request 1  "Record will be Added": the form opens on a cleared record
//   request 2  "Record will be Changed": on the fetched record; the file
//              name entry starts with its directory and name, so that "&Ok"
//              finds the file without a new lookup
//   request 3  no window: the confirmed, transaction-framed delete
//
// Controls: 2 the file's full name (a local STRING(90)), 3 "..." the file
// lookup ("Choose a File", "Application files|*.app|Dictionary Files|*.dct";
// the chosen name is split at its last "\" into APP:DRIVENPATH, up to and
// with the "\", and APP:APPLICATION), 5 APP:DRIVENPATH (a "\" is added when
// its last non-blank character is not one; on accepting it and again on
// saving), 7 APP:APPLICATION, 9 APP:PRIORITY, 10 APP:TAG, 11 "&Ok", 12
// "&Cancel". "&Ok" first lists the directory with the name entry as the
// pattern: nothing there beeps and shows "File not found. Press
// DosFileLookUp button to call File Lookup Dialog." ("Don't Do That!") and
// the form stays; else the record is written (record_update.h).
//
// Returns the response: 1 completed, 2 not.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/record_update.h"
#include "app/core/warnings.h"

namespace mxb {

inline constexpr char kLookupTitle[] = "Choose a File";
inline constexpr char kLookupFilter[] = "Application files|*.app|Dictionary Files|*.dct";
inline constexpr char kLookupStart[] = "\\qw20";
inline constexpr char kNoFileText[] =
    "File not found. Press DosFileLookUp button to call File Lookup Dialog.";
inline constexpr char kNoFileCaption[] = "Don't Do That!";
inline constexpr char kTitleAdd[] = "Record will be Added";
inline constexpr char kTitleChange[] = "Record will be Changed";

// `path` with "\" after its last non-blank character unless it ends in one
// (a blank path stays blank).
std::string WithTrailingBackslash(std::string_view path);

int32_t ProjectForm(int32_t request, WarningSink& sink);

}  // namespace mxb
