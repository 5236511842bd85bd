// The driver's physical file object: one per operating-system file open in
// the program, shared by every table (FILE) of the program that opens it,
// with its page store and cache, its share flags and lock bytes, and the
// brackets every operation runs inside so that several programs can share
// the file.
//
// Sharing. A file opened with no deny bits or deny-write uses the lock
// protocol (lock bytes in file_io.h): an operation that only reads takes one
// reader slot for its length, and one that changes the file takes the
// writer lock (all the slots) and reads the header again under it before it
// changes anything, so that no two programs build on the same old state. A
// file opened deny-all or deny-read needs no locks. When no other program
// can write the file (this program opened it deny-write, deny-all or
// deny-read) the cached header and pages stay valid between operations and
// reads take no slot at all.
//
// Lock bytes of records and tables (1024 + m + 1) belong to the program
// (one handle per physical file): the object remembers which table took
// which, so a table of this program never waits for another of its own.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "files/velocore/page_store.h"

namespace kor::vel {

// What taking a record's or table's lock byte found.
enum class ByteLock { kTaken, kOurs, kThisProgram, kBusy };

class PhysicalFile {
 public:
  // The open object for `path` (a full path), or a new one opened with
  // `mode`. A second table of the program shares the object; its mode is
  // tested against the file's sharing by a trial open of its own, and a
  // request for writing on an object opened read-only is 5.
  static Status Acquire(const std::string& path, uint32_t mode, std::string_view owner,
                        PhysicalFile** out);
  // The object for `path` when the program has it open, else null.
  static PhysicalFile* Find(const std::string& path);
  // Gives back one use; the last closes the file.
  void Release();

  PageStore& store() { return store_; }
  const std::string& path() const { return path_; }
  bool shared() const { return locks_; }
  bool others_write() const { return others_write_; }
  bool writable() const { return store_.io().Writable(); }

  // Read bracket: a reader slot and a fresh header (shared files). Nothing
  // to do while this program holds the writer lock.
  Status BeginRead();
  void EndRead();
  // Write bracket: the writer lock and a fresh header. EndWrite commits the
  // update (or discards it after a failure) and gives the lock back, unless
  // the file is in a transaction, which keeps both until it ends.
  Status BeginWrite();
  Status EndWrite(Status s);
  // How long brackets wait for another program's locks (RECOVER=n sets it).
  void set_wait_ms(uint32_t ms) { wait_ms_ = ms; }

  // Lock bytes of records and tables: taken for `owner` (a table of this
  // program). kOurs: `owner` had it; kThisProgram: another table of this
  // program has it; kBusy: another program has it.
  ByteLock TakeByte(uint32_t m, const void* owner);
  // Gives the byte back if `owner` has it.
  void GiveByte(uint32_t m, const void* owner);
  // Gives back every byte `owner` has.
  void GiveAllBytes(const void* owner);
  // Whether this program holds the byte (for any of its tables).
  bool HoldsByte(uint32_t m) const { return bytes_.count(m) != 0; }

  // Transactions (transaction.cc): the file keeps its changes until the
  // transaction ends; `doomed` when an operation failed half done.
  bool enlisted = false;
  bool doomed = false;

 private:
  PhysicalFile() = default;
  Status Open(const std::string& path, uint32_t mode, std::string_view owner);

  PageStore store_;
  std::string path_;
  uint32_t mode_ = 0;
  bool locks_ = false;
  bool others_write_ = false;
  int users_ = 0;
  uint32_t wait_ms_ = kWriterWaitMs;
  std::map<uint32_t, const void*> bytes_;  // record or table number -> the table holding it
};

// The journal resolver of data files: decides about an interrupted
// transaction from its 0xFF record and the transaction control file it
// names (transaction.cc).
JournalDecision ResolveTransaction(PageStore& store);
// The commit prelude of data files: a finished transaction's 0xFF record
// leaves the file with the next update that commits alone, so that update's
// journal, should it be left armed, is replayed rather than judged by an
// old control file that may be gone or hold the number again
// (transaction.cc).
Status ForgetTransactionRecord(PageStore& store);

}  // namespace kor::vel
