// The multi-file commit over transaction control files, and the resolver
// that decides about an interrupted one when a file is opened (see
// transaction.h).
#include "files/velocore/transaction.h"

#include <chrono>
#include <memory>
#include <thread>

#include "files/velocore/btree.h"
#include "runtime/os/ascii.h"
#include "runtime/os/file_services.h"

namespace kor::vel {

namespace {

using Controls = std::vector<std::unique_ptr<PageStore>>;

const Bytes kTransactionRecordKey{kTransactionKey};

Bytes NumberKey(uint32_t number) { return RecordNumberData(number); }

// Adds (`add`) or takes out the number in one control file, committed.
// *clash when adding finds it there already.
Status ChangeNumber(PageStore& control, uint32_t number, bool add, bool* clash) {
  *clash = false;
  Tree tree(control);
  Status s = control.io().LockWriter(kWriterWaitMs);
  if (s.ok()) s = control.Refresh();
  bool hit = false;
  if (s.ok() && add) s = tree.Insert(MakeRecord(NumberKey(number), {}), &hit);
  if (s.ok() && !add) s = tree.Erase(NumberKey(number), &hit);
  *clash = add && hit;
  if (s.ok()) s = control.Commit();
  if (!s.ok()) control.Discard();
  control.io().UnlockWriter();
  return s;
}

// Takes the number out of control files [from, count).
Status TakeNumberOut(Controls& controls, size_t count, uint32_t number, size_t from = 0) {
  Status first;
  for (size_t i = from; i < count; ++i) {
    bool clash = false;
    Status s = ChangeNumber(*controls[i], number, false, &clash);
    if (first.ok()) first = s;
  }
  return first;
}

// Step 1: a number no control file holds, added to every one.
Status EnterNumber(Controls& controls, uint32_t* number) {
  uint32_t n = OsTickCount();
  for (int attempt = 0; attempt < 1000; ++attempt, ++n) {
    if (n == 0) continue;
    size_t i = 0;
    bool clash = false;
    Status s;
    for (; i < controls.size() && s.ok() && !clash; ++i) {
      s = ChangeNumber(*controls[i], n, true, &clash);
    }
    if (s.ok() && !clash) {
      *number = n;
      return s;
    }
    // The files that took the number give it back.
    TakeNumberOut(controls, i - 1, n);
    if (!s.ok()) return s;
  }
  return Status::Error(kErrCannotLogTransaction);
}

Status OpenControls(const std::vector<PhysicalFile*>& files, const std::string& named,
                    Controls* controls) {
  std::vector<std::string> names;
  for (PhysicalFile* pf : files) {
    std::string name = ControlFileFor(pf->path(), named);
    bool seen = false;
    for (const std::string& n : names) seen = seen || EqualIgnoringAsciiCase(n, name);
    if (!seen) names.push_back(name);
  }
  for (const std::string& name : names) {
    auto control = std::make_unique<PageStore>();
    Status s = control->Open(name, kOwnOpen | kOsReadWrite | kOsDenyNone, "");
    if (!s.ok()) return s;
    controls->push_back(std::move(control));
  }
  return Status::Ok();
}

// Step 2: the 0xFF record (naming `control`) and the arm pass in every
// changed file; on a failure the files already armed are disarmed. *clean
// tells whether every disarm reached the disk (only then may the number
// leave the control files again).
Status ArmAll(const std::vector<PhysicalFile*>& changed, uint32_t number,
              const std::string& control, bool* clean) {
  *clean = true;
  Bytes data = TransactionRecordData(number, control);
  for (size_t i = 0; i < changed.size(); ++i) {
    PageStore& store = changed[i]->store();
    Tree tree(store);
    Status s = tree.Put(MakeRecord(kTransactionRecordKey, data));
    if (s.ok()) s = store.Arm();
    if (s.ok()) continue;
    // An arm whose header could not be taken back (Arm leaves the header
    // invalid then) may stand on the disk: this file counts as armed too.
    *clean = store.HeaderValid();
    store.Discard();
    for (size_t j = 0; j < i; ++j) *clean = changed[j]->store().Disarm().ok() && *clean;
    return s;
  }
  return Status::Ok();
}

}  // namespace

std::string ControlFileFor(const std::string& path, const std::string& named) {
  if (!named.empty()) return OsFullPathName(named.c_str());
  size_t slash = path.find_last_of("/\\");
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
         kDefaultControlName;
}

Bytes TransactionRecordData(uint32_t number, const std::string& control_name) {
  Bytes data = NumberKey(number);
  data.insert(data.end(), control_name.begin(), control_name.end());
  data.push_back(0);
  return data;
}

Status CommitFiles(const std::vector<PhysicalFile*>& files, const std::string& named_control) {
  std::vector<PhysicalFile*> changed;
  for (PhysicalFile* pf : files) {
    if (pf->store().Changed()) changed.push_back(pf);
  }
  auto unlock_all = [&] {
    for (PhysicalFile* pf : files) pf->store().io().UnlockWriter();
  };
  auto discard_all = [&] {
    for (PhysicalFile* pf : changed) pf->store().Discard();
    unlock_all();
  };
  if (changed.size() <= 1) {
    Status s = changed.empty() ? Status::Ok() : changed[0]->store().Commit();
    unlock_all();
    return s;
  }
  std::string named = named_control.empty() ? "" : OsFullPathName(named_control.c_str());
  Controls controls;
  uint32_t number = 0;
  Status s = OpenControls(changed, named, &controls);
  if (s.ok()) s = EnterNumber(controls, &number);
  if (!s.ok()) {
    discard_all();
    return s;
  }
  // The commit point is one control file's losing the number, so every
  // file must ask that one: with the files in several folders, each names
  // the first folder's control file, not the default name that would send
  // it to its own folder's (a crash between two folders' removals would
  // commit the transaction in some files only). The others lose the
  // number after the commit point; it only kept their numbers unique.
  std::string control = !named.empty()         ? named
                        : controls.size() == 1 ? std::string(kDefaultControlName)
                                               : controls[0]->io().path();
  bool clean = true;
  s = ArmAll(changed, number, control, &clean);
  if (s.ok()) s = TakeNumberOut(controls, 1, number);  // the commit point
  if (s.ok()) TakeNumberOut(controls, controls.size(), number, 1);
  if (!s.ok()) {
    // Not committed: every armed file goes back to its old state. The number
    // stays in the control files unless every file is known to be disarmed,
    // so that a file whose journal is still armed drops it when opened.
    for (PhysicalFile* pf : changed)
      clean = (pf->store().Armed() ? pf->store().Disarm().ok() : true) && clean;
    if (clean) TakeNumberOut(controls, controls.size(), number);
    discard_all();
    return s;
  }
  for (PhysicalFile* pf : changed) pf->store().Apply();
  unlock_all();
  return Status::Ok();
}

Status ForgetTransactionRecord(PageStore& store) {
  Tree tree(store);
  bool found = false;
  Status s = tree.Find(kTransactionRecordKey, nullptr, &found);  // looking changes nothing
  if (s.ok() && found) s = tree.Erase(kTransactionRecordKey, &found);
  return s;
}

JournalDecision ResolveTransaction(PageStore& store) {
  Tree tree(store);
  Record r;
  bool found = false;
  RecoveryPoint point;  // damage here is an answer, not a failure of the opening
  Status s = tree.Find(kTransactionRecordKey, &r, &found);
  if (!s.ok()) return JournalDecision::kDrop;
  if (!found) return JournalDecision::kReplay;
  std::span<const uint8_t> data = r.data();
  if (data.size() < 6 || data.back() != 0) return JournalDecision::kDrop;
  uint32_t number = Get32BE(data.data());
  std::string name(data.begin() + 4, data.end() - 1);
  if (name == kDefaultControlName) name = ControlFileFor(store.io().path(), "");
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kControlWaitMs);
  for (;;) {
    PageStore control;
    s = control.Open(name, kOsReadOnly | kOsDenyNone, "");
    if (s.code == kErrAccessDenied) {
      if (std::chrono::steady_clock::now() >= until) return JournalDecision::kRefuse;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    // Another program kept the control file locked for writing longer than
    // a reader waits: its answer is not known, and dropping a journal whose
    // transaction did commit would lose it here and keep it elsewhere.
    if (s.code == kErrFileIsAlreadyLocked) return JournalDecision::kRefuse;
    if (!s.ok()) return JournalDecision::kDrop;
    Tree control_tree(control);
    s = control.io().LockReader(kReaderWaitMs);
    if (s.ok()) s = control.Refresh();
    if (s.code == kErrFileIsAlreadyLocked) {
      control.Close();
      return JournalDecision::kRefuse;
    }
    if (s.ok()) s = control_tree.Find(NumberKey(number), nullptr, &found);
    control.Close();
    if (!s.ok()) return JournalDecision::kDrop;
    return found ? JournalDecision::kDrop : JournalDecision::kReplay;
  }
}

}  // namespace kor::vel
