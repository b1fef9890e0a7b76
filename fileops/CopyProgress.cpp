#include "fileops/CopyProgress.h"

#include <algorithm>
#include <cstdio>

#include "console/Console.h"
#include "dialogs/Dialog.h"
#include "dialogs/Look.h"
#include "fileops/CopyFiles.h"
#include "foundation/NumberFormat.h"
#include "foundation/TimeValue.h"

namespace {

constexpr int kCentred = -1, kThirdDown = -3;
constexpr int kBarRow = 5, kStatusRow = 6, kInteriorRows = 7;
constexpr wchar_t kFull = 0x2588, kShade = 0x2591;

// A path too long for the screen keeps its end, where the name is.
Westring Shortened(const Westring& path, int width) {
  if (path.Length() <= width || width < 4) return path;
  return Westring(L"...") + path.Mid(path.Length() - (width - 3));
}

}  // namespace

int CopyBarFilled(int64_t done, int64_t total, int width) {
  if (total <= 0 || width <= 0) return 0;
  return static_cast<int>(std::min<int64_t>(width, std::max<int64_t>(0, done) * width / total));
}

Westring CopyStatusText(int64_t done, int64_t total, double elapsed) {
  if (elapsed <= 0 || done <= 0) return Westring();
  const int64_t seconds = static_cast<int64_t>(elapsed);
  const int64_t rate = static_cast<int64_t>(static_cast<double>(done) / elapsed);
  const int64_t left =
      static_cast<int64_t>(static_cast<double>(std::max<int64_t>(0, total - done)) *
                           (elapsed / static_cast<double>(done)));
  char time[40], eta[40];
  snprintf(time, sizeof time, "Time: %d:%02d  BPS: ", static_cast<int>(seconds / 60),
           static_cast<int>(seconds % 60));
  snprintf(eta, sizeof eta, "  ETA: %d:%02d", static_cast<int>(left / 60),
           static_cast<int>(left % 60));
  Westring bps = FormatSizeAsShown(rate, 7);
  bps.TrimLeft();
  while (bps.Length() < 7) bps += L' ';
  return Westring(time) + bps + Westring(eta);
}

CCopyProgress::CCopyProgress(TCopyProgressRecord* record) : m_record(record) { Start(); }

CCopyProgress::~CCopyProgress() { Stop(); }

void CCopyProgress::ShowFile(const Westring& title, const Westring& source,
                             const Westring& destination, int index, int count) {
  std::lock_guard<std::mutex> hold(m_lock);
  m_title = title;
  m_source = source;
  m_destination = destination;
  m_index = index;
  m_count = count;
  ++m_generation;
}

void CCopyProgress::Pause() {
  std::lock_guard<std::mutex> hold(m_lock);
  m_paused = true;
}

void CCopyProgress::Resume() {
  std::lock_guard<std::mutex> hold(m_lock);
  m_paused = false;
  ++m_generation;  // the question may have covered the window
  m_record->lastFilled = -1;
  m_record->lastText = Westring(L"\x01");
}

// Only this thread touches the window, so it is written directly.
void CCopyProgress::Update() {
  std::lock_guard<std::mutex> hold(m_lock);
  if (m_paused) return;
  const int nameWidth = g_console->Columns() - 10;
  Westring lines[5] = {m_title, Shortened(m_source, nameWidth), Westring(L"to"),
                       Shortened(m_destination, nameWidth), Westring()};
  if (m_count > 1) {
    char place[40];
    snprintf(place, sizeof place, "(%d of %d)", m_index, m_count);
    lines[4] = Westring(place);
  }
  int width = 39;
  for (const Westring& line : lines) width = std::max(width, line.Length());
  width += 2;
  width += width & 1;
  if (m_window && m_window->Width() + 2 < width) {
    delete m_window;
    m_window = nullptr;
  }
  if (!m_window) {
    m_window =
        new Dialog(kCentred, kThirdDown, width, kInteriorRows + 2, Colour(ColourClass::Messages));
    m_drawnGeneration = m_generation - 1;
    m_record->lastFilled = -1;
    m_record->lastText = Westring(L"\x01");
  }
  if (m_drawnGeneration != m_generation) {
    m_drawnGeneration = m_generation;
    for (int row = 0; row < 5; ++row) {
      m_window->WriteText(0, row, Westring(m_window->Width(), L' ').c_str());
      m_window->WriteCentred(row, lines[row].c_str());
    }
  }
  DrawStatus();
}

void CCopyProgress::DrawStatus() {
  TCopyProgressRecord& record = *m_record;
  const int64_t done = record.done.load(std::memory_order_relaxed);
  const int64_t total = record.total.load(std::memory_order_relaxed);
  const int width = m_window->Width() - 3;
  const int filled = CopyBarFilled(done, total, width);
  if (filled != record.lastFilled || width != record.lastWidth) {
    record.lastFilled = filled;
    record.lastWidth = width;
    Westring bar = total > 0 ? Westring(filled, kFull) + Westring(width - filled, kShade)
                             : Westring(width, L' ');
    m_window->WriteText(1, kBarRow, bar.c_str());
  }
  const double elapsed = record.startTime > 0 ? NowSeconds() - record.startTime : 0;
  Westring text = total > 0 ? CopyStatusText(done, total, elapsed) : Westring();
  if (text.Length() < m_window->Width() - 1)
    text += Westring(m_window->Width() - 1 - text.Length(), L' ');
  if (!(text == record.lastText)) {
    record.lastText = text;
    m_window->WriteText(1, kStatusRow, text.c_str());
  }
}

TCopyProgressRecord::TCopyProgressRecord() = default;
TCopyProgressRecord::~TCopyProgressRecord() = default;
