// The VELOCORE driver's entry: its registration record, its control block,
// and the dispatch of each operation that passed the state check, under a
// recovery point that ends the call with 90 on an internal check.
#include "files/velocore/velocore_driver.h"

#include "files/operations.h"
#include "files/velocore/driver_block.h"
#include "files/velocore/driver_status.h"

namespace kor {

namespace {

// Count byte and operation codes, then count byte and field type codes.
const uint8_t kVelocoreCapabilities[] = {
    71,
    // clang-format off
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
    21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 36, 37, 38, 40, 41, 42,
    43, 44, 45, 46, 47, 48, 49, 50, 52, 54, 56, 57, 58, 60, 61, 62, 63, 64, 65, 66,
    67, 71, 72, 75, 76, 77, 78, 79, 84, 85, 86,
    // clang-format on
    17,
    // clang-format off
    kTypeByte, kTypeShort, kTypeUShort, kTypeDate, kTypeTime, kTypeLong, kTypeULong,
    kTypeSReal, kTypeReal, kTypeDecimal, kTypeString, kTypeCString, kTypePString,
    kTypeMemo, kTypeBlob, kTypeGroup, kTypeArray,
    // clang-format on
};
static_assert(sizeof kVelocoreCapabilities == 1 + 71 + 1 + 17);

const DriverRegistration kVelocore = {
    .name = "VELOCORE",
    .module = "Z9VEL.DLL",
    .notice = "",
    .description = "Velocore (VEL) Driver 1.00",
    .entry = &VelocoreDriverEntry,
    .capability_lists = kVelocoreCapabilities,
    .module2 = "Z9VELS.DLL",
    .index_word = "INDEX",
    .key_word = "KEY",
    .line_end = "\r\n",
};

BuildPoster g_build_poster = nullptr;

using vel::Status;
using vel::VelBlock;

Status Dispatch(int32_t op, VelBlock& b, const DriverArgs& args, DriverOutput& out) {
  switch (op) {
    // clang-format off
    case kOpOPEN: return vel::OpenTable(b, args.mode);
    case kOpSHARE: return vel::OpenTable(b, args.mode);
    case kOpCREATE: return vel::CreateTable(b);
    case kOpCLOSE: return vel::CloseTable(b);
    case kOpREMOVE: return vel::RemoveTable(b);
    case kOpCOPY: return vel::CopyOrRename(b, args, false);
    case kOpRENAME: return vel::CopyOrRename(b, args, true);
    case kOpEMPTY: return vel::EmptyTable(b);
    case kOpNAME: out.text = b.external_name; return Status::Ok();
    case kOpADD: return vel::AddRecord(b, false);
    case kOpAPPEND: return vel::AddRecord(b, true);
    case kOpPUT: return vel::PutRecord(b);
    case kOpPUTfileptr: return vel::PutByPointer(b, args);
    case kOpDELETE: return vel::DeleteRecord(b);
    case kOpGETfileptr: case kOpGETkeyptr: return vel::GetByPointer(b, args);
    case kOpGETfilekey: return vel::GetByKey(b, args);
    case kOpREGETfile: case kOpREGETkey: return vel::Reget(b, op, args);
    case kOpNEXT: return vel::Step(b, true);
    case kOpPREVIOUS: return vel::Step(b, false);
    case kOpSKIP: return vel::Skip(b, args);
    case kOpBOF: return vel::BeginOrEnd(b, false, out);
    case kOpEOF: return vel::BeginOrEnd(b, true, out);
    case kOpSETfile: case kOpSETfilekey: case kOpSETfileptr: case kOpSETkey:
    case kOpSETkeykey: case kOpSETkeyptr: case kOpSETkeykeyptr: case kOpRESETfile:
    case kOpRESETkey: return vel::SetSequence(b, op, args);
    case kOpPOSITIONfile: case kOpPOSITIONkey: return vel::Position(b, op, args, out);
    case kOpPOINTERfile: case kOpPOINTERkey: out.value = b.current; return Status::Ok();
    case kOpRECORDSfile: case kOpRECORDSkey: case kOpBYTES: return vel::Counts(b, op, args, out);
    case kOpDUPLICATE: case kOpDUPLICATEkey: return vel::Duplicate(b, args, out);
    case kOpHOLDfile: case kOpHOLDfilesec: return vel::Hold(b, op, args);
    case kOpRELEASE: return vel::Release(b);
    case kOpWATCH: b.flags |= vel::kVelWatchRequested; return Status::Ok();
    case kOpNOMEMO: b.flags |= vel::kVelNoMemo; return Status::Ok();
    case kOpSTREAM: return Status::Ok();
    case kOpFLUSH: return vel::Flush(b);
    case kOpLOCKfile: case kOpLOCKfilesec: return vel::LockTable(b, op, args);
    case kOpUNLOCK: return vel::UnlockTable(b);
    case kOpLOGOUT: return vel::Logout(b, args);
    case kOpCOMMIT: return vel::Commit(b);
    case kOpROLLBACK: return vel::Rollback(b);
    case kOpBUILDfile: case kOpBUILDkey: case kOpBUILDdyn: case kOpBUILDdynfilter:
    case kOpPACK: return vel::Build(b, op, args);
    case kOpBUILDevent: return vel::BuildEvent(b);
    case kOpSEND: return vel::Send(b, args, out);
    case kOpSET_PROPERTY: case kOpGET_PROPERTY: case kOpSETPROPERTYkey:
    case kOpGETPROPERTYkey: return vel::Property(b, op, args, out);
    case kOpBLOB_YIELD: case kOpBLOB_TAKE: case kOpBLOB_SIZE: case kOpBLOB_GET_PROP:
    case kOpBLOB_SET_PROP: return vel::Blob(b, op, args, out);
    default: return Status::Error(kErrUnsupported);
      // clang-format on
  }
}

// After an internal check the update of the call is gone with the cached
// header, and the table refuses everything but CLOSE and NAME.
void AfterCheck(VelBlock& b, int32_t check) {
  b.failed_check = check;
  if (b.physical == nullptr) return;
  vel::PageStore& store = b.physical->store();
  if (b.physical->enlisted) {
    b.physical->doomed = true;
    return;
  }
  store.Discard();
  store.InvalidateHeader();
  store.io().UnlockWriter();
  store.io().UnlockReader();
}

class VelocoreDriver final : public FileDriver {
 public:
  const DriverRegistration& Registration() const override { return VelocoreRegistration(); }
  const char* TraceSection() const override { return "QWVELOCORE"; }
  const char* DefaultTraceLog() const override { return "VELOCORE.LOG"; }
  std::unique_ptr<FileControlBlock> NewControlBlock(FileDescriptor*, int32_t*) override {
    return std::make_unique<VelBlock>();
  }
  int32_t Perform(int32_t op, FileControlBlock& fcb, const DriverArgs& args,
                  DriverOutput& out) override {
    VelBlock& b = static_cast<VelBlock&>(fcb);
    vel::RecoveryPoint point;
    Status s;
    if (b.failed_check != 0 && op != kOpCLOSE && op != kOpNAME) {
      s = {kErrFileSystemError, b.failed_check, 0};
    } else {
      s = Dispatch(op, b, args, out);
    }
    if (point.check() != 0 && !s.is_check()) s = {kErrFileSystemError, point.check(), 0};
    if (s.is_check() && op != kOpCLOSE && b.failed_check == 0) AfterCheck(b, s.check);
    const std::string& name = b.file_name.empty() ? b.external_name : b.file_name;
    return vel::DriverResult(s, name, &out);
  }
};

}  // namespace

const DriverRegistration& VelocoreRegistration() { return kVelocore; }

void SetBuildPoster(BuildPoster poster) { g_build_poster = poster; }
BuildPoster CurrentBuildPoster() { return g_build_poster; }

intptr_t VelocoreDriverEntry(int32_t op, FileDescriptor* file, const void* args) {
  static VelocoreDriver driver;
  return RunDriverCall(driver, op, file, args);
}

}  // namespace kor
