// BUILDfile, BUILDkey, BUILDdyn, BUILDdynfilter, PACK and the deferred
// build that comes back as BUILDevent.
//
// A build runs as one update of the file. On a closed FILE it opens the
// table itself (read and write, denying all) for the length of the build.
// BUILDfile and PACK rebuild every maintained key, and with the table's
// FULLBUILD flag the build-on-demand indexes too (marking them built);
// BUILDkey one key; BUILDdyn and BUILDdynfilter one build-on-demand index
// (the frame marks it built after success). The only filter understood is
// the empty one (every record); any other is refused with 80 before
// anything is written.
//
// Deferral: when the FILE's state word carries kDeferBuild and the window
// layer installed a poster, the bit is cleared, the operation and its key
// remembered, and kBuildMessage posted with the FILE; the event loop hands
// it back as BUILDevent, which runs the remembered build. A poster that
// could not post (no window open) leaves the build to run at once.
#include "files/operations.h"
#include "files/velocore/driver_block.h"
#include "files/velocore/velocore_driver.h"
#include "runtime/os/ascii.h"

namespace kor::vel {

namespace {

bool OnDemand(const VelBlock& b, size_t k) {
  return (b.file->keys[k]->attributes & kKeyOnDemand) != 0;
}

// The keys one build operation makes, by index.
Status KeysOf(const VelBlock& b, int32_t op, KeyDescriptor* key, std::vector<size_t>* keys) {
  if (op == kOpBUILDfile || op == kOpPACK) {
    bool full = (b.flags & kVelFullBuild) != 0;
    for (size_t k = 0; k < b.file->key_count; ++k) {
      if (!OnDemand(b, k) || full) keys->push_back(k);
    }
    return Status::Ok();
  }
  size_t k = 0;
  Status s = KeyIndex(b, key, &k);
  if (s.ok()) keys->push_back(k);
  return s;
}

Status RunBuild(VelBlock& b, int32_t op, KeyDescriptor* key, const std::string& filter) {
  if (op == kOpBUILDdynfilter && !TrimBlanks(filter).empty()) {
    return Status::Error(kErrUnsupported);
  }
  bool opened_here = b.table == nullptr;
  Status s = opened_here ? OpenTable(b, kOsReadWrite | kOsDenyAll) : Status::Ok();
  std::vector<size_t> keys;
  if (s.ok()) s = KeysOf(b, op, key, &keys);
  if (s.ok()) s = b.physical->BeginWrite();
  if (s.ok()) {
    b.state |= kBuildActive;
    for (size_t i = 0; s.ok() && i < keys.size(); ++i) s = b.table->BuildKey(keys[i], nullptr);
    b.state &= ~uint32_t{kBuildActive};
    s = b.physical->EndWrite(s);
  }
  if (s.ok()) {
    for (size_t k : keys) {
      if (OnDemand(b, k)) b.file->keys[k]->state |= kKeyBuilt;
    }
  }
  if (opened_here && b.table != nullptr) {
    CloseTable(b);
    b.state &= ~uint32_t{kFileOpen};
  }
  b.sequence = Sequence{};
  return s;
}

}  // namespace

Status Build(VelBlock& b, int32_t op, const DriverArgs& args) {
  std::string filter =
      args.text == nullptr ? std::string() : std::string(args.text, args.text_length);
  BuildPoster poster = CurrentBuildPoster();
  if ((b.state & kDeferBuild) != 0 && poster != nullptr) {
    b.state &= ~kDeferBuild;
    b.deferred_op = op;
    b.deferred_key = args.key;
    b.deferred_filter = filter;
    if (poster(kBuildMessage, b.file)) return Status::Ok();
    b.deferred_op = 0;  // nothing will hand it back: build now
  }
  return RunBuild(b, op, args.key, filter);
}

Status BuildEvent(VelBlock& b) {
  if (b.deferred_op == 0) return Status::Ok();
  int32_t op = b.deferred_op;
  b.deferred_op = 0;
  return RunBuild(b, op, b.deferred_key, b.deferred_filter);
}

}  // namespace kor::vel
