// The physical file object: the cached header, the cache of pages, the
// pages an update changed, their placement in the size classes and the
// journalled two-pass commit; also opening a file whose header names a
// journal (replay, reading through it, or dropping it).
//
// Page identities. A page on disk is known by its page number. A page made
// by the current update has a temporary number (kFirstTemporary and up)
// until the commit gives it a place; so has a page whose size class changes.
// Every reference to a page (its parent's child entry, or the header's root)
// follows it when its number changes: the parent is found by descending from
// the root by the page's first key (see FindParent), which the tree's rules
// make exact: separator i of an internal page is at or below every key of
// child i and above every key of child i-1, and the first separator of an
// internal page equals the separator its parent keeps for it.
//
// Commit. See commit.cc for the protocol and its numbered invariants.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "files/velocore/file_io.h"
#include "files/velocore/header.h"
#include "files/velocore/page_codec.h"
#include "files/velocore/status.h"

namespace kor::vel {

inline constexpr uint32_t kFirstTemporary = 0x80000000u;

// What opening found about a journal.
enum class JournalOutcome { kNone, kReplayed, kDropped, kReadThrough };

// What to do with a whole journal found at opening, decided by its owner
// from the update it carries (the store reads through the journal while
// the resolver looks): replay it, drop it (the update never counted), or
// refuse to decide now (the opening fails with 5 "Access Denied" and the
// journal stays for a later opening).
enum class JournalDecision { kReplay, kDrop, kRefuse };
class PageStore;
using JournalResolver = JournalDecision (*)(PageStore& store);

// Runs at the start of every Commit of a changed update and may change it
// further (the transaction layer takes a finished transaction's record out,
// so that the journal of a later update of this file alone is never judged
// by that transaction's control file). A failure discards the update.
using CommitPrelude = Status (*)(PageStore& store);

// How long an update waits for the writer lock, and a reader for a slot,
// before giving up with 32; how long an opening waits to repair a journal
// before it reads through it instead.
inline constexpr uint32_t kWriterWaitMs = 10000;
inline constexpr uint32_t kReaderWaitMs = 10000;
inline constexpr uint32_t kJournalWaitMs = 2000;
// The page cache keeps at most this many bytes of clean pages (by their
// budget, page_codec.h) between updates; past it the least recently used
// clean pages are dropped until a quarter of the room is free again. Pages
// an update changed stay until it commits or is discarded.
inline constexpr uint64_t kCacheBytes = uint64_t{32} << 20;

class PageStore {
 public:
  PageStore() = default;
  PageStore(const PageStore&) = delete;
  PageStore& operator=(const PageStore&) = delete;

  // Opens an existing file (mode byte of os.h) and reads its header (36 for
  // a wrong signature or a header shorter than 512 bytes; an empty file gets
  // a fresh header). A journal is replayed or dropped when the file is
  // writable and the write lock can be had, else read through.
  Status Open(const std::string& path, uint32_t mode, std::string_view owner);
  // Makes a new file holding a fresh header, flushed.
  Status Create(const std::string& path, std::string_view owner);
  void Close();
  FileIo& io() { return io_; }
  const FileIo& io() const { return io_; }
  JournalOutcome journal_outcome() const { return journal_outcome_; }

  // Reads the header again when another program committed since (its change
  // counter is higher); the page cache is dropped then. Only between updates.
  // A shared file's header is read under a reader slot: the caller's, or one
  // taken for the call.
  Status Refresh();
  // The header as the current update leaves it (root, record counter).
  Header& header() { return work_; }
  // The header as it is on disk.
  const Header& disk_header() const { return disk_; }
  // Invalidate: the next Refresh reads the header whatever its counter.
  void InvalidateHeader() { header_valid_ = false; }
  bool HeaderValid() const { return header_valid_; }
  // The header on disk names a journal this store read through or left
  // alone for want of the right to repair it; the next Refresh under the
  // writer lock repairs it.
  bool JournalPending() const { return header_valid_ && last_read_.JournalArmed(); }

  // A page for reading; the pointer stays valid until the update ends.
  Status Get(uint32_t id, const Page** page);
  // A page the update changes.
  Status GetMutable(uint32_t id, Page** page);
  // A new page of the update; returns its temporary number.
  uint32_t Add(Page page);
  // Removes a page the tree no longer references.
  void Free(uint32_t id);
  bool Changed() const;

  // Commits the update (commit.cc): 0, or the kept write error / a check,
  // in which case the update is discarded as by Discard. Takes the writer
  // lock when the file is shared (unless held already) and releases it.
  Status Commit();
  // The two passes apart, for transactions over several files. Arm writes
  // the journal and arms it (the writer lock stays held); on failure the
  // update is discarded and the lock released. Apply copies an armed update
  // home; Disarm writes the old header back over an armed journal instead
  // and forgets the update. Neither releases the writer lock.
  Status Arm();
  bool Armed() const { return armed_.armed; }
  Status Apply();
  Status Disarm();
  // Forgets the update: changed pages, the working header.
  void Discard();
  // Drops clean pages past the cache's room (kCacheBytes), least recently
  // used first. Only between updates.
  void TrimCache();
  // Decides about a whole journal found by Open or Refresh (default: replay).
  void set_journal_resolver(JournalResolver resolver) { resolver_ = resolver; }
  void set_commit_prelude(CommitPrelude prelude) { prelude_ = prelude; }

  // Raised whenever a page may have changed, moved or left the cache: a
  // page number remembered at one value names the same page while the
  // value stays the same.
  uint64_t generation() const { return generation_; }
  // Raised whenever the tree's shape may have changed: a page added, freed,
  // renumbered or dropped from the cache (the root number, every parent's
  // separators and child numbers change only so). Changing the records of a
  // page in place leaves it: while it stays the same, the pages a descent
  // passed and the separators that chose them are the same.
  uint64_t shape() const { return shape_; }

  // The parent of page `id` and its index there; *parent = kNoPage when
  // `id` is the root.
  Status FindParent(uint32_t id, uint32_t* parent, size_t* index);
  // Reads the stored bytes of page `id` (its class from the header), for
  // checking tools; no decoding.
  Status ReadRaw(uint32_t id, std::vector<uint8_t>* bytes);

 private:
  struct Cached {
    Page page;
    uint32_t blocks = 0;  // the class it occupies on disk; 0 = no place yet
    bool dirty = false;
    uint32_t bytes = 0;     // budget when it was read or last committed
    uint64_t last_use = 0;  // cache clock at the last Load
    // The stored form placement computed to find the page's class (own
    // offset not yet set), reused by the commit; empty when the page has
    // changed since (GetMutable clears it).
    std::vector<uint8_t> encoded;
  };
  struct JournalEntry {
    uint32_t position;  // where the image lies in the journal
    uint32_t size;
  };
  struct PendingWrite {
    uint32_t home;  // file offset where the image belongs
    std::vector<uint8_t> bytes;
  };
  // An update between its two passes.
  struct ArmedUpdate {
    bool armed = false;
    Header old;                             // the header before the update
    Header fresh;                           // the journal's copy of the new header
    std::vector<PendingWrite> home;         // pages inside the old used area
    std::vector<PendingWrite> fresh_space;  // pages written in place at arming
  };

  Status Load(uint32_t id, Cached** out);
  void MarkDirty(Cached& c);
  // Forgets the recent lookups (before a page leaves the cache or moves).
  void ForgetRecent();
  // Empties the page cache (changed pages too).
  void DropCache();
  Status ReadHeaderFromDisk(Header* h, bool* empty);
  // Renumbers a page and the reference to it (placement.cc).
  Status Renumber(uint32_t from, uint32_t to);
  Status Place();  // placement.cc
  Status Vacate(uint32_t k, const std::set<uint32_t>& slots);
  Status AllocateSlot(uint32_t k, uint32_t* slot);
  Status GrowEnd(uint32_t k, uint32_t* slot);
  void ParkEmptyRanges();
  // Journal (journal.cc).
  Status HandleJournal();
  Status Examine(std::map<uint32_t, JournalEntry>* entries, Header* journal_header, bool* use);
  Status Repair();
  Status ReadThrough();
  Status Reread(bool may_repair);
  Status RefreshLocked();
  Status WalkJournal(std::map<uint32_t, JournalEntry>* entries, Header* journal_header,
                     bool* damaged);
  Status Replay(const std::map<uint32_t, JournalEntry>& entries, const Header& journal_header);
  Status DropJournal();
  Status Resolve(const std::map<uint32_t, JournalEntry>& entries, const Header& journal_header,
                 JournalDecision* decision);
  // Writes `home` pages and the header's later units, flushes, writes its
  // first unit, flushes, and cuts the file (invariants 4 and 5, commit.cc).
  Status WriteFinalHeader(const Header& h, const std::vector<PendingWrite>* home);
  Status FailArm(Status s);

  FileIo io_;
  Header disk_;
  Header work_;
  Header last_read_;  // the header as the last Refresh read it
  bool header_valid_ = false;
  bool locks_ = true;  // whether the writer lock is taken for updates
  // Page number -> page; hashed, as every tree step looks a page up.
  std::unordered_map<uint32_t, Cached> cache_;
  size_t dirty_count_ = 0;  // pages of cache_ marked dirty
  // The last page looked up per slot (chosen by a multiplicative hash of
  // the page number): a tree step finds its pages here without the hash
  // table's division and node walk. Entries point into cache_ and count
  // only while their epoch is recent_epoch_, which ForgetRecent raises
  // whenever a page leaves the cache or is renumbered. The table starts
  // small and grows (emptied) with the cache up to kMaxRecentBits: a store
  // opened to read a few pages should not clear 384 KB first.
  static constexpr uint32_t kFirstRecentBits = 6;
  static constexpr uint32_t kMaxRecentBits = 14;
  struct Recent {
    uint32_t id = 0;
    uint64_t epoch = 0;
    Cached* page = nullptr;
  };
  size_t RecentSlot(uint32_t id) const { return (id * 2654435761u) >> (32 - recent_bits_); }
  void GrowRecent();
  uint32_t recent_bits_ = kFirstRecentBits;
  std::vector<Recent> recent_ = std::vector<Recent>(size_t{1} << kFirstRecentBits);
  uint64_t recent_epoch_ = 1;
  std::vector<std::pair<uint32_t, uint32_t>> freed_;  // (slot, class) of removed pages
  uint32_t next_temporary_ = kFirstTemporary;
  std::map<uint32_t, JournalEntry> read_through_;  // home offset -> image, while reading through
  JournalOutcome journal_outcome_ = JournalOutcome::kNone;
  JournalResolver resolver_ = nullptr;
  CommitPrelude prelude_ = nullptr;
  ArmedUpdate armed_;
  uint64_t generation_ = 0;   // see generation()
  uint64_t shape_ = 1;        // see shape()
  uint64_t clock_ = 0;        // counts Loads, for the cache's recency
  uint64_t clean_bytes_ = 0;  // budget of the clean pages in the cache (approximate)
};

}  // namespace kor::vel
