// The runtime statement entries: argument packing and dispatch.
#include "files/statements.h"

#include <cstring>
#include <vector>

#include "files/driver.h"
#include "files/operations.h"
#include "runtime/core/error_state.h"

namespace kor {

namespace {

std::vector<FileDescriptor*>& Transaction() {
  static std::vector<FileDescriptor*> files;
  return files;
}

// Statements without arguments share one empty argument block.
const DriverArgs kNoArgs;

intptr_t Call(int32_t op, FileDescriptor* file, const DriverArgs& args = kNoArgs) {
  return DispatchFileOp(op, file, &args);
}

intptr_t CallKey(int32_t op, KeyDescriptor* key, DriverArgs args = DriverArgs()) {
  args.key = key;
  return DispatchFileOp(op, key == nullptr ? nullptr : key->file, &args);
}

DriverArgs Text(const char* text, uint32_t length) {
  DriverArgs a;
  a.text = text;
  a.text_length = length;
  return a;
}

DriverArgs Text(const char* text) {
  return Text(text, text == nullptr ? 0 : static_cast<uint32_t>(std::strlen(text)));
}

DriverArgs Pointer(uint32_t pointer, uint32_t length = 0) {
  DriverArgs a;
  a.pointer = pointer;
  a.length = length;
  return a;
}

DriverArgs Mode(uint32_t mode) {
  DriverArgs a;
  a.mode = mode;
  return a;
}

DriverArgs Seconds(int32_t seconds) {
  DriverArgs a;
  a.seconds = seconds;
  return a;
}

void EndTransaction(int32_t op) {
  std::vector<FileDescriptor*> files;
  files.swap(Transaction());
  int32_t first_error = 0;
  for (FileDescriptor* file : files) {
    Call(op, file);
    if (first_error == 0) first_error = ERRORCODE();
  }
  // The first failure is the statement's error.
  if (first_error != 0 && ERRORCODE() == 0) PostError(first_error);
}

}  // namespace

void OPEN(FileDescriptor* file, uint32_t mode) { Call(kOpOPEN, file, Mode(mode)); }
void SHARE(FileDescriptor* file, uint32_t mode) { Call(kOpSHARE, file, Mode(mode)); }
void CLOSE(FileDescriptor* file) { Call(kOpCLOSE, file); }
void CREATE(FileDescriptor* file) { Call(kOpCREATE, file); }
void REMOVE(FileDescriptor* file) { Call(kOpREMOVE, file); }
void COPY(FileDescriptor* file, const char* new_name) { Call(kOpCOPY, file, Text(new_name)); }
void RENAME(FileDescriptor* file, const char* new_name) { Call(kOpRENAME, file, Text(new_name)); }
void EMPTY(FileDescriptor* file) { Call(kOpEMPTY, file); }
void FLUSH(FileDescriptor* file) { Call(kOpFLUSH, file); }
void BUILDfile(FileDescriptor* file) { Call(kOpBUILDfile, file); }
void BUILDevent(FileDescriptor* file) { Call(kOpBUILDevent, file); }

void SETfile(FileDescriptor* file) { Call(kOpSETfile, file); }
void SETfileptr(FileDescriptor* file, uint32_t pointer) {
  Call(kOpSETfileptr, file, Pointer(pointer));
}
void SETkey(KeyDescriptor* key) { CallKey(kOpSETkey, key); }
void SETkeykey(KeyDescriptor* key) { CallKey(kOpSETkeykey, key); }
void RESETfile(FileDescriptor* file, const char* position, uint32_t length) {
  Call(kOpRESETfile, file, Text(position, length));
}
void RESETkey(KeyDescriptor* key, const char* position, uint32_t length) {
  CallKey(kOpRESETkey, key, Text(position, length));
}
void NEXT(FileDescriptor* file) { Call(kOpNEXT, file); }
void PREVIOUS(FileDescriptor* file) { Call(kOpPREVIOUS, file); }

void ADD(FileDescriptor* file) { Call(kOpADD, file); }
void ADDfilelen(FileDescriptor* file, uint32_t length) {
  Call(kOpADDfilelen, file, Pointer(0, length));
}
void APPEND(FileDescriptor* file) { Call(kOpAPPEND, file); }
void APPENDlen(FileDescriptor* file, uint32_t length) {
  Call(kOpAPPENDlen, file, Pointer(0, length));
}
void PUT(FileDescriptor* file) { Call(kOpPUT, file); }
void PUTfileptr(FileDescriptor* file, uint32_t pointer) {
  Call(kOpPUTfileptr, file, Pointer(pointer));
}
void PUTfileptrlen(FileDescriptor* file, uint32_t pointer, uint32_t length) {
  Call(kOpPUTfileptrlen, file, Pointer(pointer, length));
}
void DELETEfile(FileDescriptor* file) { Call(kOpDELETE, file); }
void REGETfile(FileDescriptor* file, const char* position, uint32_t length) {
  Call(kOpREGETfile, file, Text(position, length));
}
void REGETkey(KeyDescriptor* key, const char* position, uint32_t length) {
  CallKey(kOpREGETkey, key, Text(position, length));
}
void GETfileptr(FileDescriptor* file, uint32_t pointer) {
  Call(kOpGETfileptr, file, Pointer(pointer));
}
void GETfileptrlen(FileDescriptor* file, uint32_t pointer, uint32_t length) {
  Call(kOpGETfileptrlen, file, Pointer(pointer, length));
}

void POSITIONfile(FileDescriptor* file) { Call(kOpPOSITIONfile, file); }
void POSITIONkey(KeyDescriptor* key) { CallKey(kOpPOSITIONkey, key); }
void NAME(FileDescriptor* file) { Call(kOpNAME, file); }
void SEND(FileDescriptor* file, const char* command) { Call(kOpSEND, file, Text(command)); }
void GET_PROPERTY(FileDescriptor* file, const char* property, int32_t index) {
  DriverArgs a = Text(property);
  a.index = index;
  Call(kOpGET_PROPERTY, file, a);
}
void SET_PROPERTY(FileDescriptor* file, const char* property, const char* value, int32_t index) {
  DriverArgs a = Text(property);
  a.value = value;
  a.value_length = value == nullptr ? 0 : static_cast<uint32_t>(std::strlen(value));
  a.index = index;
  Call(kOpSET_PROPERTY, file, a);
}

int32_t RECORDSfile(FileDescriptor* file) {
  return static_cast<int32_t>(Call(kOpRECORDSfile, file));
}
int32_t RECORDSkey(KeyDescriptor* key) { return static_cast<int32_t>(CallKey(kOpRECORDSkey, key)); }
int32_t DUPLICATEkey(KeyDescriptor* key) {
  return static_cast<int32_t>(CallKey(kOpDUPLICATEkey, key));
}
int32_t POINTERfile(FileDescriptor* file) {
  return static_cast<int32_t>(Call(kOpPOINTERfile, file));
}
int32_t BYTES(FileDescriptor* file) { return static_cast<int32_t>(Call(kOpBYTES, file)); }
int32_t BOFfile(FileDescriptor* file) { return static_cast<int32_t>(Call(kOpBOF, file)); }
int32_t EOFfile(FileDescriptor* file) { return static_cast<int32_t>(Call(kOpEOF, file)); }
void NOMEMO(FileDescriptor* file) { Call(kOpNOMEMO, file); }
int32_t BLOB_GET_PROP(FileDescriptor* file, const char* property, int32_t index) {
  DriverArgs a = Text(property);
  a.index = index;
  return static_cast<int32_t>(Call(kOpBLOB_GET_PROP, file, a));
}

void LOCKfile(FileDescriptor* file) { Call(kOpLOCKfile, file); }
void LOCKfilesec(FileDescriptor* file, int32_t seconds) {
  Call(kOpLOCKfilesec, file, Seconds(seconds));
}
void UNLOCK(FileDescriptor* file) { Call(kOpUNLOCK, file); }
void WATCH(FileDescriptor* file) { Call(kOpWATCH, file); }

void LOGOUT(int32_t seconds, std::initializer_list<FileDescriptor*> files) {
  for (FileDescriptor* file : files) {
    Call(kOpLOGOUT, file, Seconds(seconds));
    if (ERRORCODE() != 0) return;
    Transaction().push_back(file);
  }
}

void COMMIT() { EndTransaction(kOpCOMMIT); }
void ROLLBACK() { EndTransaction(kOpROLLBACK); }
bool TransactionActive() { return !Transaction().empty(); }

void INVIEW(FileDescriptor* file) { Call(kOpINVIEW, file); }
void ENDVIEW(FileDescriptor* file) { Call(kOpENDVIEW, file); }

}  // namespace kor
