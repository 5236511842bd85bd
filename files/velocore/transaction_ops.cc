// LOGOUT, COMMIT, ROLLBACK and FLUSH: the program's one open transaction,
// the FILEs it enlisted and their physical files.
//
// The runtime ends a transaction with COMMIT (or ROLLBACK) on each enlisted
// FILE in turn: the first of those calls commits (or discards) the changes
// of every enlisted file at once and gives the result; the later ones only
// let their FILE go.
#include <algorithm>

#include "files/velocore/driver_block.h"
#include "files/velocore/transaction.h"
#include "runtime/os/ascii.h"

namespace kor::vel {

namespace {

struct Transaction {
  std::vector<VelBlock*> blocks;     // enlisted FILEs, in LOGOUT order
  std::vector<PhysicalFile*> files;  // their physical files, each once
  bool ended = false;                // the first COMMIT or ROLLBACK ran
  Status result;                     // its result
};

Transaction& Current() {
  static Transaction transaction;
  return transaction;
}

std::string Directory(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

size_t DistinctDirectories(const std::vector<PhysicalFile*>& files) {
  std::vector<std::string> dirs;
  for (PhysicalFile* pf : files) {
    std::string dir = Directory(pf->path());
    bool seen = false;
    for (const std::string& d : dirs) seen = seen || EqualIgnoringAsciiCase(d, dir);
    if (!seen) dirs.push_back(dir);
  }
  return dirs.size();
}

void DiscardFile(PhysicalFile& pf) {
  pf.store().Discard();
  pf.store().InvalidateHeader();
  pf.store().io().UnlockWriter();
  pf.enlisted = false;
  pf.doomed = false;
}

Status CommitAll(Transaction& t) {
  bool doomed = false;
  for (PhysicalFile* pf : t.files) doomed = doomed || pf->doomed;
  if (doomed) {
    // An operation failed half done: nothing of the transaction may count.
    for (PhysicalFile* pf : t.files) DiscardFile(*pf);
    return Status::Error(kErrFileSystemError);
  }
  Status s = CommitFiles(t.files, ProgramControlFile());
  for (PhysicalFile* pf : t.files) {
    pf->enlisted = false;
    if (!s.ok()) pf->store().InvalidateHeader();
  }
  return s;
}

// Ends the transaction for one FILE: the first call runs `end` over all.
Status EndFor(VelBlock& b, Status (*end)(Transaction&)) {
  Transaction& t = Current();
  auto it = std::find(t.blocks.begin(), t.blocks.end(), &b);
  if (it == t.blocks.end()) return Status::Ok();
  bool first = !t.ended;
  if (first) {
    t.result = end(t);
    t.ended = true;
  }
  t.blocks.erase(it);
  Status result = first ? t.result : Status::Ok();
  if (t.blocks.empty()) t = Transaction{};
  return result;
}

Status RollbackAll(Transaction& t) {
  for (PhysicalFile* pf : t.files) DiscardFile(*pf);
  return Status::Ok();
}

}  // namespace

Status Logout(VelBlock& b, const DriverArgs& args) {
  Transaction& t = Current();
  if (t.ended) t = Transaction{};
  PhysicalFile* pf = b.physical;
  bool new_file = std::find(t.files.begin(), t.files.end(), pf) == t.files.end();
  if (new_file) {
    t.files.push_back(pf);
    if (ProgramControlFile().empty() && DistinctDirectories(t.files) > kMaxControlDirectories) {
      t.files.pop_back();
      return Check(kCheckControlFiles);
    }
    pf->enlisted = true;
    pf->doomed = false;
  }
  if (args.seconds > 0) pf->set_wait_ms(uint32_t(args.seconds) * 1000u);
  t.blocks.push_back(&b);
  return Status::Ok();
}

Status Commit(VelBlock& b) { return EndFor(b, &CommitAll); }

Status Rollback(VelBlock& b) { return EndFor(b, &RollbackAll); }

bool InTransaction(const VelBlock& b) {
  const Transaction& t = Current();
  return std::find(t.blocks.begin(), t.blocks.end(), &b) != t.blocks.end();
}

void ForgetBlock(VelBlock& b) {
  Transaction& t = Current();
  auto it = std::find(t.blocks.begin(), t.blocks.end(), &b);
  if (it == t.blocks.end()) return;
  t.blocks.erase(it);
  bool used = false;
  for (VelBlock* other : t.blocks) used = used || other->physical == b.physical;
  if (!used && b.physical != nullptr) {
    DiscardFile(*b.physical);
    std::erase(t.files, b.physical);
  }
  if (t.blocks.empty()) t = Transaction{};
}

Status Flush(VelBlock& b) {
  PhysicalFile& pf = *b.physical;
  // Inside a transaction the changes wait for COMMIT: a FLUSH would split it.
  if (pf.enlisted) return Status::Ok();
  Status s = pf.store().Changed() ? pf.store().Commit() : Status::Ok();
  pf.store().io().UnlockWriter();
  return s;
}

}  // namespace kor::vel
