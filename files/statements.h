// The runtime's entries for the file statements of compiled code. Each one
// packs the statement's arguments, takes the FILE descriptor (for the key
// forms: the key's owning FILE) and calls the dispatcher with the operation
// code. Errors are posted to the error state; string results (NAME, SEND,
// POSITION, GET_PROPERTY) are left on the string stack.
//
// Statement names follow the operation names; DELETE, BOF and EOF carry the
// suffix "file" here because DELETE and EOF are macros of the platform and
// C library headers.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "files/file_decl.h"

namespace kor {

// Access modes: OPEN's default is read/write deny write, SHARE's read/write
// deny none.
inline constexpr uint32_t kOpenDefaultMode = 0x22;
inline constexpr uint32_t kShareDefaultMode = 0x42;

void OPEN(FileDescriptor* file, uint32_t mode = kOpenDefaultMode);
void SHARE(FileDescriptor* file, uint32_t mode = kShareDefaultMode);
void CLOSE(FileDescriptor* file);
void CREATE(FileDescriptor* file);
void REMOVE(FileDescriptor* file);
void COPY(FileDescriptor* file, const char* new_name);
void RENAME(FileDescriptor* file, const char* new_name);
void EMPTY(FileDescriptor* file);
void FLUSH(FileDescriptor* file);
void BUILDfile(FileDescriptor* file);
void BUILDevent(FileDescriptor* file);

void SETfile(FileDescriptor* file);
void SETfileptr(FileDescriptor* file, uint32_t pointer);
void SETkey(KeyDescriptor* key);
void SETkeykey(KeyDescriptor* key);
void RESETfile(FileDescriptor* file, const char* position, uint32_t length);
void RESETkey(KeyDescriptor* key, const char* position, uint32_t length);
void NEXT(FileDescriptor* file);
void PREVIOUS(FileDescriptor* file);

void ADD(FileDescriptor* file);
void ADDfilelen(FileDescriptor* file, uint32_t length);
void APPEND(FileDescriptor* file);
void APPENDlen(FileDescriptor* file, uint32_t length);
void PUT(FileDescriptor* file);
void PUTfileptr(FileDescriptor* file, uint32_t pointer);
void PUTfileptrlen(FileDescriptor* file, uint32_t pointer, uint32_t length);
void DELETEfile(FileDescriptor* file);
void REGETfile(FileDescriptor* file, const char* position, uint32_t length);
void REGETkey(KeyDescriptor* key, const char* position, uint32_t length);
void GETfileptr(FileDescriptor* file, uint32_t pointer);
void GETfileptrlen(FileDescriptor* file, uint32_t pointer, uint32_t length);

// String results on the string stack.
void POSITIONfile(FileDescriptor* file);
void POSITIONkey(KeyDescriptor* key);
void NAME(FileDescriptor* file);
void SEND(FileDescriptor* file, const char* command);
void GET_PROPERTY(FileDescriptor* file, const char* property, int32_t index = 0);
void SET_PROPERTY(FileDescriptor* file, const char* property, const char* value, int32_t index = 0);

// Function values.
int32_t RECORDSfile(FileDescriptor* file);
int32_t RECORDSkey(KeyDescriptor* key);
int32_t DUPLICATEkey(KeyDescriptor* key);
int32_t POINTERfile(FileDescriptor* file);
int32_t BYTES(FileDescriptor* file);
int32_t BOFfile(FileDescriptor* file);
int32_t EOFfile(FileDescriptor* file);
void NOMEMO(FileDescriptor* file);
int32_t BLOB_GET_PROP(FileDescriptor* file, const char* property, int32_t index = 0);

void LOCKfile(FileDescriptor* file);
void LOCKfilesec(FileDescriptor* file, int32_t seconds);
void UNLOCK(FileDescriptor* file);
void WATCH(FileDescriptor* file);

// Transactions: LOGOUT enlists the files (each through its own driver call,
// in order, stopping at the first failure); COMMIT and ROLLBACK end the
// transaction on every enlisted file, in the same order. Shutdown commits a
// transaction that is still open.
void LOGOUT(int32_t seconds, std::initializer_list<FileDescriptor*> files);
void COMMIT();
void ROLLBACK();
bool TransactionActive();

void INVIEW(FileDescriptor* file);
void ENDVIEW(FileDescriptor* file);

}  // namespace kor
