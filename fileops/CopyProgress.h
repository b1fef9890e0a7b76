#pragma once
// The "Copying" / "Moving" window of a copy or move command: the names of
// the file at hand, its place in the command, a bar over all the bytes of
// the command, elapsed time, bytes per second and time left. It is drawn by
// a progress thread, so a slow disk never freezes it.
#include <mutex>

#include "dialogs/ProgressThread.h"
#include "foundation/Westring.h"

struct TCopyProgressRecord;

class CCopyProgress : public ProgressIndicatorThread {
 public:
  /// Borrows the record, which outlives the window.
  explicit CCopyProgress(TCopyProgressRecord* record);
  ~CCopyProgress() override;

  /// The file at hand. Application thread.
  void ShowFile(const Westring& title, const Westring& source, const Westring& destination,
                int index, int count);
  /// A question is on screen: the window is not drawn until Resume.
  void Pause();
  void Resume();

 protected:
  void Update() override;

 private:
  void DrawStatus();

  TCopyProgressRecord* m_record;
  std::mutex m_lock;  // guards the fields below
  Westring m_title, m_source, m_destination;
  int m_index = 0, m_count = 0;
  unsigned m_generation = 0, m_drawnGeneration = 0;
  bool m_paused = false;
};

/// The texts of the window for a moment of the command: the bar's filled
/// cells of width, and the "Time: ... BPS: ... ETA: ..." line (empty when no
/// time has passed or nothing was copied yet).
int CopyBarFilled(int64_t done, int64_t total, int width);
Westring CopyStatusText(int64_t done, int64_t total, double elapsed);
