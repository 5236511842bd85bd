// Transactions over several files: the transaction control files and the
// commit that makes the changes of every enlisted file count together.
//
// A control file is a file of this format holding, as 4-byte keys without
// data, the numbers of the transactions in progress that name it. Its
// default is "velocore.tcf" in each enlisted file's directory (one per
// directory, compared without regard to case); SEND 'TCF=name' names one
// file for the whole program.
//
// COMMIT of a transaction whose changes touch one file commits that file
// alone (its two passes) and touches no control file. With several:
//   1. every control file is opened (made if missing, shared for reading and
//      writing); a transaction number is chosen, from the clock upwards,
//      that no control file holds, and added to each (each committed);
//   2. each changed file gets the record 0xFF (the number, 4 bytes big-
//      endian, then the control file's name and a zero byte: the full path
//      of a named file, kDefaultControlName for the per-directory one when
//      all the files share one directory, else the path of the first
//      directory's control file, so that every file asks the same one) and
//      is armed; if one arm fails, the files already armed are disarmed and
//      the commit fails;
//   3. the number is taken out of that first control file: the commit
//      point; then out of the others;
//   4. every changed file is applied.
// The 0xFF record stays until the file's next update that commits alone,
// which takes it out (ForgetTransactionRecord).
// A file found at opening with a journal (commit.cc) is resolved from its
// 0xFF record: none, the journal is replayed; else its control file is
// asked (read only; while another program writes it the opening waits, at
// most kControlWaitMs to open it and kReaderWaitMs to read it, then fails
// with 5 and keeps the journal): a number still there means the commit
// point was never reached and the journal is dropped; an absent number
// replays it; a control file that cannot be opened or read for any other
// reason drops it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/velocore/physical_file.h"
#include "files/velocore/record_keys.h"

namespace kor::vel {

inline constexpr const char* kDefaultControlName = "velocore.tcf";
inline constexpr uint32_t kControlWaitMs = 10000;
// More distinct directories than this in one transaction is an internal
// check.
inline constexpr size_t kMaxControlDirectories = 99;
inline constexpr int32_t kCheckControlFiles = 1196;

// The control file a data file at `path` uses: `named` when set, else the
// default in the data file's directory.
std::string ControlFileFor(const std::string& path, const std::string& named);
// The data of a file's 0xFF record.
Bytes TransactionRecordData(uint32_t number, const std::string& control_name);

// Commits the changes of `files` as one transaction (the steps above). The
// writer locks of the files are given back at the end, whatever happened.
Status CommitFiles(const std::vector<PhysicalFile*>& files, const std::string& named_control);

}  // namespace kor::vel
