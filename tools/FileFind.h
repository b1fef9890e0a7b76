#pragma once
// The file-find search: a directory walk on a worker thread that tests every
// entry against a filter expression and, when a text is given, searches the
// contents of the regular files that pass. Results go into a store guarded
// by its own lock; the dialog reads it from its own thread.
#include <sys/types.h>

#include <atomic>
#include <deque>
#include <cstdint>
#include <mutex>
#include <set>
#include <utility>

#include "foundation/Estring.h"
#include "foundation/Thread.h"
#include "foundation/Westring.h"
#include "panels/Entry.h"

/// What a found entry's match field (`entry::extra`) holds besides the byte
/// offset of the first match, and what the content search returns.
namespace FindMatch {
constexpr int64_t Stopped = -1;          // the stop request ended the search
constexpr int64_t NotFound = -2;         // the text is not in the file
constexpr int64_t NoContentSearch = -2;  // a name match: no text was asked for
constexpr int64_t CannotOpen = -3;       // the file could not be opened
}  // namespace FindMatch

/// One search: where, what names and what text.
struct TFindRequest {
  Westring startDirectory;
  Westring specification;  // a filter expression
  Westring text;           // empty: names only
  bool recurse = true;
  bool caseSensitive = false;
  bool wholeWord = false;
  bool hidden = true;  // entries whose name begins with "."
  int codePage = 0;    // 0: the default text code page
};

/// Searches one file for text: FindMatch::CannotOpen, NotFound, Stopped (when
/// *stop became true), or the byte offset of the first match. Files in a
/// plain byte encoding are searched byte-wise in large blocks; files with a
/// byte-order mark (UTF-16, UTF-32, UTF-8) and non-ASCII texts that need
/// decoding go through the viewer's text search. Any thread.
int64_t SearchFileContent(const Westring& path, const Westring& text, bool caseSensitive,
                          bool wholeWord, int codePage, const std::atomic<bool>* stop);

/// The match field of a found entry.
inline int64_t MatchOf(const entry& e) { return static_cast<int64_t>(e.extra); }

/// The worker and its results. A found entry's name is the file's full path.
class CFileFinder {
 public:
  CFileFinder() = default;
  /// Stops and joins a running search.
  ~CFileFinder();
  CFileFinder(const CFileFinder&) = delete;
  CFileFinder& operator=(const CFileFinder&) = delete;

  /// Empties the results and starts the worker; returns 0 or the system's
  /// error when no thread could be made. Application thread.
  int Start(const TFindRequest& request);
  /// Asks the worker to stop and waits for it; harmless when none runs.
  void Stop();
  /// Waits for the worker to end by itself.
  void Join();
  bool Running() const { return m_running.load(std::memory_order_acquire); }
  /// True when the last search ended by a stop request.
  bool WasStopped() const { return m_stopped.load(std::memory_order_acquire); }
  const TFindRequest& Request() const { return m_request; }

  /// The results; read, sort or change them only under StoreLock().
  FFEntryStore& Results() { return m_results; }
  const FFEntryStore& Results() const { return m_results; }
  std::mutex& StoreLock() const { return m_storeLock; }
  /// The number of results; takes the store's lock.
  int ResultCount() const;
  /// The sum of the results' sizes; takes the store's lock.
  int64_t TotalSize() const;
  /// The directory being searched (the start directory before and after).
  Westring CurrentDirectory() const;
  /// Directories, links and files passed over: unreadable, looping or gone.
  int PassedOver() const { return m_passedOver.load(std::memory_order_relaxed); }

 private:
  static void* ThreadMain(void* self);
  void Walk();
  void SearchDirectory(const Estring& directory);
  bool Consider(const Estring& directory, int dirFd, const char* name, unsigned char type);
  bool AddResult(const Estring& path, const entry& status, int64_t match);
  void SetCurrentDirectory(const Estring& directory);

  TFindRequest m_request;
  bool m_needsStatus = false;  // the expression tests more than the name
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_stopped{false};
  std::atomic<bool> m_running{false};
  std::atomic<int> m_passedOver{0};
  ThreadHandle m_thread = 0;
  // Worker only: the queue of directories and the ones already entered.
  std::deque<Estring>* m_pending = nullptr;
  std::set<std::pair<dev_t, ino_t>> m_visited;

  mutable std::mutex m_storeLock;
  FFEntryStore m_results;
  mutable std::mutex m_directoryLock;
  Westring m_currentDirectory;
};
