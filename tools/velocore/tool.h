// The velocore tool's shared parts: the command line, opening a file and a
// table with one clear line for every failure, and the commands.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "files/velocore/page_store.h"
#include "files/velocore/table.h"

namespace velocore_tool {

// Exit statuses.
enum : int { kOk = 0, kDamaged = 1, kUnreadable = 2, kUsage = 3 };

struct Args {
  std::string command, file, table;
  bool csv = false, json = false;
  std::string owner, schema_path, csv_path;
};

// Prints "velocore: <text>" on standard error.
void Fail(const std::string& text);

// Opens a file read-only (or for writing); on failure prints why and
// returns null.
std::unique_ptr<kor::vel::PageStore> OpenFile(const Args& args, bool write);
// The table named (or the only one); prints why and returns false.
bool OpenTable(kor::vel::PageStore& store, const Args& args, kor::vel::Table* table);

int Info(const Args& args);
int Verify(const Args& args);
int Recover(const Args& args);
int Dump(const Args& args);
int Schema(const Args& args);
int Load(const Args& args);

}  // namespace velocore_tool
