// The VELOCORE driver: the native indexed data files (one physical file may
// hold several tables), shared between programs through byte-range locks,
// with transactions over several files.
//
// SEND commands (case does not matter; each returns a string; "WORD=value"
// also sets):
//   TCF[=name]        the transaction control file of the whole program;
//                     empty: "velocore.tcf" in each enlisted file's directory
//   FULLBUILD[=ON]    the table's FULLBUILD flag: BUILDfile then builds the
//                     build-on-demand indexes too; any other value clears it
//   FLAGS[=n]         the flags value of the table's statistics (open only)
//   PNM=name          the stored name of that table, if the file holds one
//   RECOVER[=n]       seconds an opening or operation waits for another
//                     program's locks (default 10)
//   REGISTER          the registration record's address (the frame answers)
// Any other command returns "" and changes nothing.
//
// Properties (SET_PROPERTY / GET_PROPERTY, not case-sensitive):
//   FULLBUILD    "ON" / "OFF"
//   DEFERBUILD   "ON" / "OFF": builds wait for the event loop (bit 0x8000 of
//                the file state word; see SetBuildPoster)
//   NAME, TABLE, RECORDLENGTH   read only
// Key properties (SETPROPERTYkey / GETPROPERTYkey): NAME and LABEL (read
// only), BUILT ("ON" / "OFF"; a build-on-demand index may be marked unbuilt).
// An unknown property, or setting a read-only one, fails with 80.
//
// BLOBs: BLOB_TAKE puts the argument text into a BLOB (args.index: its
// number among the MEMO and BLOB declarations, from 1), BLOB_YIELD empties
// it, BLOB_SIZE gives its size; BLOB_GET_PROP and BLOB_SET_PROP read and set
// the property "SIZE". The contents are written by ADD and PUT and read by
// every read without NOMEMO.
//
// SKIP moves args.index records along the sequence (negative: backwards)
// without reading them; PACK rebuilds every key, as BUILDfile does.
#pragma once

#include <cstdint>

#include "files/driver.h"
#include "files/file_decl.h"

namespace kor {

// The driver's entry, which a FILE declaration puts in its first field, and
// its registration record.
intptr_t VelocoreDriverEntry(int32_t op, FileDescriptor* file, const void* args);
const DriverRegistration& VelocoreRegistration();

// A deferred build (a FILE whose state word carries 0x8000) posts
// `message` (0x2420) with the FILE as its parameter to the program's current
// window through this hook, which the window layer installs at start-up;
// the event loop hands it back as BUILDevent. Without a hook, or when the
// hook answers false (no window to post to), the build runs at once.
inline constexpr uint32_t kBuildMessage = 0x2420;
using BuildPoster = bool (*)(uint32_t message, FileDescriptor* file);
void SetBuildPoster(BuildPoster poster);
BuildPoster CurrentBuildPoster();

}  // namespace kor
