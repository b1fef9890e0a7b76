#include "dialogs/ProgressThread.h"

#include <cerrno>

#include "console/Console.h"
#include "dialogs/Dialog.h"
#include "dialogs/Look.h"
#include "foundation/NumberFormat.h"
#include "foundation/Westring.h"

namespace {

constexpr uint32_t kFirstDelayMs = 1000;
constexpr uint32_t kRefreshMs = 250;
// Windows sit a third of the way down the screen, centred across it.
constexpr int kCentred = -1, kThirdDown = -3;

}  // namespace

// --- ProgressIndicatorThread -----------------------------------------------------

ProgressIndicatorThread::~ProgressIndicatorThread() {
  Stop();
  delete m_window;
}

void ProgressIndicatorThread::Start() {
  // A program without a console (a benchmark, a tool) has nowhere to show it.
  if (g_console == nullptr) return;
  m_thread = StartThread(&ThreadMain, this);
}

void ProgressIndicatorThread::Stop() {
  m_stop.Signal();
  if (m_thread) JoinThread(m_thread);
}

void* ProgressIndicatorThread::ThreadMain(void* self) {
  static_cast<ProgressIndicatorThread*>(self)->Run();
  return nullptr;
}

void ProgressIndicatorThread::Run() {
  if (m_stop.Wait(kFirstDelayMs) != ETIMEDOUT) return;
  do {
    Update();
  } while (m_stop.Wait(kRefreshMs) == ETIMEDOUT);
}

// --- DirReadProgress -------------------------------------------------------------

DirReadProgress::DirReadProgress(const std::atomic<int32_t>* fileCount)
    : DirReadProgress(fileCount, Starting::Now) {}

DirReadProgress::DirReadProgress(const std::atomic<int32_t>* fileCount, Starting starting)
    : m_fileCount(fileCount) {
  if (starting == Starting::Now) Start();
}

DirReadProgress::~DirReadProgress() { Stop(); }

// The window has no elements that change: nothing but this thread touches
// it, so it is written directly rather than through the dialog's mutex.
void DirReadProgress::Update() {
  if (!m_window) {
    m_window = new Dialog(kCentred, kThirdDown, 35, 6, Colour(ColourClass::Messages));
    m_window->WriteText(4, 1, "Reading directory:");
  }
  static const wchar_t kSpinner[] = L"-\\|/";
  const wchar_t step[2] = {kSpinner[m_spinner], 0};
  m_window->WriteText(23, 1, step);
  m_spinner = (m_spinner + 1) % 4;
  const Westring files = Westring(L"Files: ") +
                         FormatSizeAsShown(m_fileCount->load(std::memory_order_relaxed), 12);
  m_window->WriteText(4, 2, files.c_str());
}

// --- FileReadProgress ------------------------------------------------------------

FileReadProgress::FileReadProgress(const std::atomic<int64_t>* done,
                                   const std::atomic<int64_t>* total, const Estring& title)
    : m_done(done), m_total(total), m_title(title) {
  Start();
}

FileReadProgress::~FileReadProgress() { Stop(); }

void FileReadProgress::Update() {
  if (!m_window) {
    m_window = new Dialog(kCentred, kThirdDown, 40, 5, Colour(ColourClass::Messages));
    m_window->WriteCentred(0, m_title.c_str());
    m_bar = m_window->AddProgressIndicator(1, 2, true, 36, &m_fraction);
  }
  const int64_t total = m_total->load(std::memory_order_relaxed);
  if (total <= 0) return;
  m_fraction = static_cast<float>(m_done->load(std::memory_order_relaxed)) /
               static_cast<float>(total);
  TDialogEvent refresh;
  refresh.type = TDialogEvent::Refresh;
  m_window->HandleEventFor(m_bar, refresh);
}
