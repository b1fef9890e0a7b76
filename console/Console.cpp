#include "console/Console.h"

#include <gdk/gdk.h>
#include <gtkmm/clipboard.h>
#include <gtkmm/main.h>

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "console/GdkLock.h"
#include "console/Glyphs.h"
#include "console/Palette.h"
#include "console/RowRuns.h"
#include "console/TermSession.h"
#include "foundation/CellString.h"
#include "foundation/CodePage.h"

CConsole* g_console = nullptr;

namespace {

constexpr TCell kBlankCell{' ', 7};

// Cursor phases 0..4 of the ten 100 ms steps show the block, 5..9 hide it.
constexpr int kBlinkSteps = 10;
constexpr int kBlinkShownSteps = 5;
constexpr unsigned kBlinkStepMs = 100;

// Font sizes Ctrl+mouse wheel moves between, in points.
constexpr int kSmallestFont = 6, kLargestFont = 72;

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

uint32_t PackCells(TScreenCells cells) {
  return static_cast<uint32_t>(cells.columns) << 16 | static_cast<uint32_t>(cells.lines);
}

}  // namespace

CConsole::CConsole() : m_area(this) {
  add_events(Gdk::KEY_PRESS_MASK | Gdk::KEY_RELEASE_MASK | Gdk::BUTTON_PRESS_MASK |
             Gdk::BUTTON_RELEASE_MASK | Gdk::BUTTON_MOTION_MASK);
  set_title("Varnak");
  BuildGridAndMetrics();
  signal_configure_event().connect(sigc::mem_fun(*this, &CConsole::OnConfigure), false);
  add(m_area);
  m_area.show();
  m_windowThread = StartThread(&CConsole::WindowThreadMain, this);
  assert(m_windowThread && "cannot start the window-system thread");
  // Drawing before the main loop runs is fine, but quitting is not: wait
  // until the loop is up so the destructor always finds it.
  (void)m_windowReady.Wait(WaitForever);
}

CConsole::~CConsole() {
  {
    GdkLock lock;
    Gtk::Main::quit();
  }
  (void)JoinThread(m_windowThread);
  if (g_console == this) g_console = nullptr;
}

// ---------------------------------------------------------------------------
// Threads

void* CConsole::WindowThreadMain(void* self) {
  static_cast<CConsole*>(self)->RunWindowSystem();
  return nullptr;
}

void* CConsole::BlinkThreadMain(void* self) {
  static_cast<CConsole*>(self)->RunBlink();
  return nullptr;
}

void CConsole::RunWindowSystem() {
  m_blinkThread = StartThread(&CConsole::BlinkThreadMain, this);
  gdk_threads_enter();
  show();
  gdk_threads_add_idle(
      [](gpointer self) -> gboolean {
        static_cast<CConsole*>(self)->m_windowReady.Signal();
        return FALSE;
      },
      this);
  Gtk::Main::run();
  gdk_threads_leave();
  m_blinkStop.Signal();
  (void)JoinThread(m_blinkThread);
}

void CConsole::RunBlink() {
  for (;;) {
    const int phase = m_blinkPhase.load();
    if (phase == 0 || phase == kBlinkShownSteps) {
      GdkLock lock;
      DrawCursorCell();
    }
    // A restart between the load and here wins: only advance what we saw.
    int expected = phase;
    m_blinkPhase.compare_exchange_strong(expected, (phase + 1) % kBlinkSteps);
    if (m_blinkStop.Wait(kBlinkStepMs) == 0) return;
  }
}

void CConsole::RunOnWindowThread(const std::function<void()>& fn) {
  struct Call {
    const std::function<void()>* fn;
    SyncEvent done;
  } call{&fn, {}};
  // Scheduling under the lock that the idle call runs under hands `call` over
  // visibly to the thread checkers as well as to the window-system thread.
  {
    GdkLock lock;
    gdk_threads_add_idle(
        [](gpointer data) -> gboolean {
          auto* c = static_cast<Call*>(data);
          (*c->fn)();
          c->done.Signal();
          return FALSE;
        },
        &call);
  }
  (void)call.done.Wait(WaitForever);
}

// ---------------------------------------------------------------------------
// Grid and metrics

void CConsole::BuildGridAndMetrics() {
  const int count = m_lines * m_columns;
  auto cells = std::make_unique<TCell[]>(count);
  std::fill(cells.get(), cells.get() + count, kBlankCell);
  m_font = Pango::FontDescription(m_fontFamily);
  m_font.set_size(m_fontSize * Pango::SCALE);
  MeasureCell();
  FitWindowToGrid();
  m_cells = std::move(cells);
}

// The window manager offers sizes in whole cells and no smaller than the
// smallest screen; a screen the program made smaller than that stays
// possible.
void CConsole::FitWindowToGrid() {
  const int width = m_columns * m_cellWidth, height = m_lines * m_cellHeight;
  const int minColumns = std::min(m_columns, kMinimumWindowCells.columns);
  const int minLines = std::min(m_lines, kMinimumWindowCells.lines);
  m_area.set_size_request(minColumns * m_cellWidth, minLines * m_cellHeight);
  GdkGeometry hints{};
  hints.min_width = minColumns * m_cellWidth;
  hints.min_height = minLines * m_cellHeight;
  hints.base_width = 0;
  hints.base_height = 0;
  hints.width_inc = m_cellWidth;
  hints.height_inc = m_cellHeight;
  gtk_window_set_geometry_hints(
      gobj(), GTK_WIDGET(m_area.gobj()), &hints,
      static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_BASE_SIZE | GDK_HINT_RESIZE_INC));
  if (std::make_pair(width, height) != m_lastRequest) {
    std::rotate(std::begin(m_earlierRequests), std::end(m_earlierRequests) - 1,
                std::end(m_earlierRequests));
    m_earlierRequests[0] = m_lastRequest;
    m_lastRequest = {width, height};
    m_lastRequestMs = NowMs();
    m_resizeFollowUps = 0;
  }
  resize(width, height);
}

void CConsole::RebuildGridKeeping(int lines, int columns) {
  auto cells = std::make_unique<TCell[]>(lines * columns);
  std::fill(cells.get(), cells.get() + lines * columns, kBlankCell);
  for (int r = 0; r < std::min(lines, m_lines); ++r)
    std::copy(Row(r), Row(r) + std::min(columns, m_columns), cells.get() + r * columns);
  m_lines = lines;
  m_columns = columns;
  m_cells = std::move(cells);
  ++m_gridGeneration;
  m_selection.Hide();
  m_area.m_pixmap.reset();
  FitWindowToGrid();
  m_cursorCol = std::min(m_cursorCol, m_columns - 1);
  m_cursorRow = std::min(m_cursorRow, m_lines - 1);
  m_pending = {};
  DrawRect(0, 0, m_columns, m_lines);
}

// Every cell takes the logical extents of one representative glyph; the font
// is monospaced, so any letter gives the same advance and line height.
void CConsole::MeasureCell() {
  Glib::RefPtr<Pango::Layout> layout = m_area.create_pango_layout("A");
  layout->set_font_description(m_font);
  Pango::Rectangle ink, logical;
  layout->get_extents(ink, logical);
  m_cellWidth = std::max(1, logical.get_width() / Pango::SCALE);
  m_cellHeight = std::max(1, logical.get_height() / Pango::SCALE);
}

void CConsole::SetScreenSize(int lines, int columns, const std::string& fontFamily, int fontSize) {
  {
    GdkLock lock;
    m_lines = std::max(1, lines);
    m_columns = std::max(1, columns);
    if (!fontFamily.empty()) m_fontFamily = fontFamily;
    if (fontSize != 0) m_fontSize = fontSize;
    m_selection.Hide();
    m_area.m_pixmap.reset();
    BuildGridAndMetrics();
    ++m_gridGeneration;
    m_cursorCol = std::min(m_cursorCol, m_columns - 1);
    m_cursorRow = std::min(m_cursorRow, m_lines - 1);
    m_pending = {};
    DrawRect(0, 0, m_columns, m_lines);
  }
  if (m_onResize) m_onResize();
}

// Without a window manager the X server answers resizes in order, so the
// answer to an earlier request of the program can arrive after a later one
// was asked for and leave the window at the old size. Asking again (a few
// times at most, in case the screen cannot hold the size) settles it. Any
// other new size is the user's: it counts once it stops changing.
// Window-system thread, GDK lock held.
bool CConsole::OnConfigure(GdkEventConfigure* event) {
  const int width = m_columns * m_cellWidth, height = m_lines * m_cellHeight;
  if (event->width == width && event->height == height) {
    m_settler.Cancel();
    return false;
  }
  constexpr int kMaxFollowUps = 3;
  const std::pair<int, int> answered{event->width, event->height};
  const bool stale = std::find(std::begin(m_earlierRequests), std::end(m_earlierRequests),
                               answered) != std::end(m_earlierRequests);
  // Only shortly after the program asked: later the same size is the user's.
  constexpr int64_t kAnswerMs = 500;
  if (stale && NowMs() - m_lastRequestMs < kAnswerMs && m_resizeFollowUps < kMaxFollowUps) {
    ++m_resizeFollowUps;
    resize(width, height);
    return false;
  }
  // The toolkit asks again for the size it was last told whenever it lays
  // the window out; telling it the user's size keeps it from undoing the drag.
  resize(event->width, event->height);
  m_settler.Note(event->width, event->height, NowMs());
  constexpr unsigned kSettleTickMs = 40;
  if (m_settleTimer == 0)
    m_settleTimer = gdk_threads_add_timeout(kSettleTickMs, &CConsole::SettleTick, this);
  return false;
}

// Runs until the noted size has stood for the quiet period, then hands the
// screen size it holds to the application thread. GDK lock held.
gboolean CConsole::SettleTick(gpointer self) {
  auto* console = static_cast<CConsole*>(self);
  int width = 0, height = 0;
  if (!console->m_settler.Take(NowMs(), &width, &height)) {
    if (console->m_settler.Pending()) return TRUE;
    console->m_settleTimer = 0;
    return FALSE;
  }
  console->m_settleTimer = 0;
  const TScreenCells cells = CellsForPixels(width, height, console->m_cellWidth,
                                            console->m_cellHeight, kMinimumWindowCells);
  console->m_windowCells.store(PackCells(cells));
  console->m_queue.Wake();
  return FALSE;
}

void CConsole::ZoomFont(int steps) {
  m_fontZoom += steps;
  m_queue.Wake();
}

bool CConsole::FollowWindowSize() {
  const uint32_t packed = m_windowCells.exchange(0);
  const int zoom = m_fontZoom.exchange(0);
  if (packed == 0 && zoom == 0) return false;
  if (m_onWindowResizeStart) m_onWindowResizeStart();
  {
    GdkLock lock;
    TScreenCells cells{static_cast<int>(packed >> 16), static_cast<int>(packed & 0xFFFF)};
    if (packed == 0) cells = {m_columns, m_lines};
    const int fontSize = std::clamp(m_fontSize + zoom, kSmallestFont, kLargestFont);
    if (fontSize != m_fontSize) {
      // The window keeps its pixels; the cells that fit them change.
      int width = 0, height = 0;
      get_size(width, height);
      m_fontSize = fontSize;
      m_font.set_size(m_fontSize * Pango::SCALE);
      MeasureCell();
      cells = CellsForPixels(width, height, m_cellWidth, m_cellHeight, kMinimumWindowCells);
    }
    RebuildGridKeeping(cells.lines, cells.columns);
  }
  if (m_session) m_session->Resize(m_lines, m_columns);
  if (m_onResize) m_onResize();
  // An attached command owns the screen until it ends; the screens below
  // are drawn afresh after it.
  if (!m_session) RedrawScreens();
  if (m_onWindowResizeDone) m_onWindowResizeDone();
  return true;
}

void CConsole::RedrawScreens() {
  // A redraw may open or close a screen of its own; walk a copy.
  const std::vector<CRedrawOnResize*> screens = m_redraws;
  for (CRedrawOnResize* screen : screens)
    if (std::find(m_redraws.begin(), m_redraws.end(), screen) != m_redraws.end())
      screen->m_redraw();
}

CRedrawOnResize::CRedrawOnResize(std::function<void()> redraw)
    : m_redraw(std::move(redraw)), m_generation(g_console ? g_console->GridGeneration() : 0) {
  if (g_console) g_console->m_redraws.push_back(this);
}

CRedrawOnResize::~CRedrawOnResize() {
  if (!g_console) return;
  auto& screens = g_console->m_redraws;
  screens.erase(std::remove(screens.begin(), screens.end(), this), screens.end());
  if (g_console->GridGeneration() != m_generation) g_console->RedrawScreens();
}

void CConsole::SetCodePage(int codePage) {
  if (codePage != 0) m_codePage = codePage;
}

TCell CConsole::CellAt(int col, int row) const {
  if (col < 0 || row < 0 || col >= m_columns || row >= m_lines) return kBlankCell;
  return Row(row)[col];
}

uint32_t CConsole::PixelAt(int x, int y) {
  GdkLock lock;
  if (!m_area.m_pixmap) return 0;
  Glib::RefPtr<Gdk::Image> image = m_area.m_pixmap->get_image(x, y, 1, 1);
  if (!image) return 0;
  const uint32_t pixel = image->get_pixel(0, 0);
  // Turn the visual's pixel layout into 0xRRGGBB. An image of a pixmap has
  // no visual of its own; the pixmap was made for the drawing area's window.
  const GdkVisual* visual = gdk_drawable_get_visual(m_area.get_window()->gobj());
  if (!visual) return 0;
  auto channel = [pixel](uint32_t mask, int shift, int precision) {
    const uint32_t value = (pixel & mask) >> shift;
    return precision >= 8 ? value >> (precision - 8) : value << (8 - precision);
  };
  return channel(visual->red_mask, visual->red_shift, visual->red_prec) << 16 |
         channel(visual->green_mask, visual->green_shift, visual->green_prec) << 8 |
         channel(visual->blue_mask, visual->blue_shift, visual->blue_prec);
}

// ---------------------------------------------------------------------------
// Screen contents

bool CConsole::ClipRun(int col, int row, int& count) const {
  if (row < 0 || row >= m_lines || col < 0 || col >= m_columns || count < 1) return false;
  count = std::min(count, m_columns - col);
  return true;
}

bool CConsole::StoreCell(TCell* slot, uint32_t ch, uint8_t attr) {
  if (slot->ch == ch && slot->attr == attr) return false;
  slot->ch = ch;
  slot->attr = attr;
  return true;
}

// Tracks the first and last cell a run of stores changed, so only that much is drawn.
class ChangedSpan {
 public:
  void Note(int col, bool changed) {
    if (!changed) return;
    if (m_first < 0) m_first = col;
    m_last = col;
  }
  bool Any() const { return m_first >= 0; }
  int First() const { return m_first; }
  int Width() const { return m_last - m_first + 1; }

 private:
  int m_first = -1;
  int m_last = -1;
};

void CConsole::WriteText(int col, int row, const wchar_t* text, uint8_t attr) {
  if (!text) return;
  GdkLock lock;
  int count = m_columns;
  if (!ClipRun(col, row, count)) return;
  ChangedSpan span;
  TCell* cells = Row(row);
  for (int i = 0; i < count && text[i]; ++i)
    span.Note(col + i, StoreCell(&cells[col + i], DisplayGlyph(static_cast<uint32_t>(text[i])), attr));
  if (span.Any()) InvalidateLocked(span.First(), row, span.Width(), 1);
}

void CConsole::WriteNarrowText(int col, int row, const char* text, uint8_t attr) {
  if (!text) return;
  WriteText(col, row, FromCodePage(text).c_str(), attr);
}

void CConsole::WriteCells(int col, int row, const TCell* source) {
  if (!source) return;
  WriteCellRun(col, row, source, m_columns);
}

void CConsole::WriteCells(int col, int row, const CellString& source) {
  WriteCellRun(col, row, source.Cells(), source.Length());
}

void CConsole::WriteCellRun(int col, int row, const TCell* source, int count) {
  GdkLock lock;
  if (!ClipRun(col, row, count)) return;
  ChangedSpan span;
  TCell* cells = Row(row);
  for (int i = 0; i < count && source[i].ch; ++i)
    span.Note(col + i, StoreCell(&cells[col + i], DisplayGlyph(source[i].ch), source[i].attr));
  if (span.Any()) InvalidateLocked(span.First(), row, span.Width(), 1);
}

void CConsole::FillCells(int col, int row, int count, TCell cell) {
  GdkLock lock;
  if (!ClipRun(col, row, count)) return;
  ChangedSpan span;
  TCell* cells = Row(row);
  const uint32_t ch = DisplayGlyphForFill(cell.ch);
  for (int i = 0; i < count; ++i) span.Note(col + i, StoreCell(&cells[col + i], ch, cell.attr));
  if (span.Any()) InvalidateLocked(span.First(), row, span.Width(), 1);
}

void CConsole::SetAttributes(int col, int row, int count, uint8_t attr) {
  GdkLock lock;
  if (!ClipRun(col, row, count)) return;
  ChangedSpan span;
  TCell* cells = Row(row);
  for (int i = 0; i < count; ++i)
    span.Note(col + i, StoreCell(&cells[col + i], cells[col + i].ch, attr));
  if (span.Any()) InvalidateLocked(span.First(), row, span.Width(), 1);
}

void CConsole::FillArea(int col, int row, int width, int height, uint8_t attr) {
  GdkLock lock;
  bool changed = false;
  for (int r = std::max(row, 0); r < std::min(row + height, m_lines); ++r) {
    int count = width;
    const int start = std::max(col, 0);
    count -= start - col;
    if (!ClipRun(start, r, count)) continue;
    for (int i = 0; i < count; ++i) changed |= StoreCell(&Row(r)[start + i], ' ', attr);
  }
  if (changed) InvalidateLocked(col, row, width, height);
}

std::unique_ptr<TCell[]> CConsole::SaveArea(int col, int row, int width, int height) const {
  if (width < 1 || height < 1) return nullptr;
  auto saved = std::make_unique<TCell[]>(width * height);
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) saved[r * width + c] = CellAt(col + c, row + r);
  return saved;
}

void CConsole::CopyArea(int col, int row, int width, int height, CellString& out) const {
  out.SetLength(0);
  if (width < 1 || height < 1) return;
  out.Reserve(width * height);
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) out.Append(CellAt(col + c, row + r));
}

void CConsole::RestoreArea(int col, int row, int width, int height, const TCell* cells) {
  if (!cells) return;
  GdkLock lock;
  for (int r = 0; r < height; ++r) {
    if (row + r < 0 || row + r >= m_lines) continue;
    for (int c = 0; c < width; ++c) {
      if (col + c < 0 || col + c >= m_columns) continue;
      Row(row + r)[col + c] = cells[r * width + c];
    }
  }
  InvalidateLocked(col, row, width, height);
}

void CConsole::ScrollDown(int col, int row, int width, int height, int count, uint8_t attr) {
  ScrollArea(col, row, width, height, count, attr, true);
}

void CConsole::ScrollUp(int col, int row, int width, int height, int count, uint8_t attr) {
  ScrollArea(col, row, width, height, count, attr, false);
}

void CConsole::ScrollArea(int col, int row, int width, int height, int count, uint8_t attr,
                          bool down) {
  // Clip the rectangle to the grid first; everything below works inside it.
  const int left = std::max(col, 0), top = std::max(row, 0);
  const int right = std::min(col + width, m_columns), bottom = std::min(row + height, m_lines);
  width = right - left;
  height = bottom - top;
  if (width < 1 || height < 1 || count < 1) return;
  if (count >= height) {
    FillArea(left, top, width, height, attr);
    return;
  }
  GdkLock lock;
  // Pixels are about to move: what a hold has collected must be on the
  // pixmap first, or stale pixels would move with them.
  if (!m_pending.Empty()) {
    DrawRect(m_pending.left, m_pending.top, m_pending.right - m_pending.left,
             m_pending.bottom - m_pending.top);
    m_pending = {};
  }
  const bool cursorInside = m_cursorSize > 0 && m_cursorCol >= left && m_cursorCol < right &&
                            m_cursorRow >= top && m_cursorRow < bottom;
  if (cursorInside) {
    const int size = m_cursorSize;
    m_cursorSize = 0;
    DrawRect(m_cursorCol, m_cursorRow, 1, 1);
    m_cursorSize = size;
  }
  const size_t rowBytes = width * sizeof(TCell);
  if (down) {
    for (int r = bottom - 1; r >= top + count; --r)
      std::memmove(&Row(r)[left], &Row(r - count)[left], rowBytes);
  } else {
    for (int r = top; r < bottom - count; ++r)
      std::memmove(&Row(r)[left], &Row(r + count)[left], rowBytes);
  }
  const int freedTop = down ? top : bottom - count;
  for (int r = freedTop; r < freedTop + count; ++r)
    std::fill(&Row(r)[left], &Row(r)[right], TCell{' ', attr});

  if (EnsurePixmap()) {
    const int srcRow = down ? top : top + count, dstRow = down ? top + count : top;
    Glib::RefPtr<Gdk::GC> gc = Gdk::GC::create(m_area.m_pixmap);
    m_area.m_pixmap->draw_drawable(gc, m_area.m_pixmap, left * m_cellWidth, srcRow * m_cellHeight,
                                   left * m_cellWidth, dstRow * m_cellHeight, width * m_cellWidth,
                                   (height - count) * m_cellHeight);
    m_area.queue_draw_area(left * m_cellWidth, dstRow * m_cellHeight, width * m_cellWidth,
                           (height - count) * m_cellHeight);
  }
  InvalidateLocked(left, freedTop, width, count);
  if (cursorInside) InvalidateLocked(m_cursorCol, m_cursorRow, 1, 1);
}

// ---------------------------------------------------------------------------
// Invalidation and holds

void CConsole::Invalidate(int col, int row, int width, int height) {
  GdkLock lock;
  InvalidateLocked(col, row, width, height);
}

void CConsole::InvalidateLocked(int col, int row, int width, int height) {
  const int left = std::max(col, 0), top = std::max(row, 0);
  const int right = std::min(col + width, m_columns), bottom = std::min(row + height, m_lines);
  if (right <= left || bottom <= top) return;
  if (m_holdCount == 0) {
    DrawRect(left, top, right - left, bottom - top);
    return;
  }
  if (m_pending.Empty()) {
    m_pending = {left, top, right, bottom};
    return;
  }
  m_pending.left = std::min(m_pending.left, left);
  m_pending.top = std::min(m_pending.top, top);
  m_pending.right = std::max(m_pending.right, right);
  m_pending.bottom = std::max(m_pending.bottom, bottom);
}

void CConsole::BeginUpdate() {
  GdkLock lock;
  if (m_holdCount++ == 0) m_pending = {};
}

void CConsole::EndUpdate() {
  GdkLock lock;
  if (m_holdCount == 0) return;
  if (--m_holdCount > 0 || m_pending.Empty()) return;
  const TPendingArea area = m_pending;
  m_pending = {};
  DrawRect(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

// ---------------------------------------------------------------------------
// Pixels. Everything below runs with the GDK lock held.

void CConsole::SetForeground(const Glib::RefPtr<Gdk::GC>& gc, const char* colorName) {
  Gdk::Color color(colorName);
  gc->set_rgb_fg_color(color);
}

bool CConsole::EnsurePixmap() {
  if (m_area.m_pixmap) return true;
  gtk_widget_realize(GTK_WIDGET(m_area.gobj()));
  Glib::RefPtr<Gdk::Window> window = m_area.get_window();
  if (!window) return false;
  const int width = m_columns * m_cellWidth, height = m_lines * m_cellHeight;
  m_area.m_pixmap = Gdk::Pixmap::create(window, width, height, window->get_depth());
  if (!m_area.m_pixmap) return false;
  Glib::RefPtr<Gdk::GC> gc = Gdk::GC::create(m_area.m_pixmap);
  SetForeground(gc, "black");
  m_area.m_pixmap->draw_rectangle(gc, true, 0, 0, width, height);
  m_area.queue_draw();
  return true;
}

void CConsole::DrawRect(int col, int row, int width, int height) {
  if (!EnsurePixmap()) return;
  ++m_drawCount;
  Glib::RefPtr<Pango::Layout> layout = Pango::Layout::create(m_area.create_pango_context());
  layout->set_font_description(m_font);
  for (int r = row; r < row + height; ++r) DrawRowText(layout, r, col, width);
  if (m_cursorSize > 0 && m_blinkPhase.load() < kBlinkShownSteps && m_cursorRow >= row &&
      m_cursorRow < row + height && m_cursorCol >= col && m_cursorCol < col + width)
    DrawCursorBlock();
  m_area.queue_draw_area(col * m_cellWidth, row * m_cellHeight, width * m_cellWidth,
                         height * m_cellHeight);
}

void CConsole::DrawRowText(Glib::RefPtr<Pango::Layout>& layout, int row, int col, int width) {
  const bool selection = m_selection.Shown();
  const TCellRect& sel = m_selection.Rect();
  const TRowRuns runs = BuildRowRuns(&Row(row)[col], width, [&](int i) {
    return selection && sel.Contains(col + i, row);
  });
  Pango::AttrList attrs;
  for (const TAttrRun& run : runs.runs) {
    const TRgb fg = PaletteColor(AttrForeground(run.attr));
    const TRgb bg = PaletteColor(AttrBackground(run.attr));
    Pango::AttrColor fgAttr = Pango::Attribute::create_attr_foreground(fg.red, fg.green, fg.blue);
    Pango::AttrColor bgAttr = Pango::Attribute::create_attr_background(bg.red, bg.green, bg.blue);
    fgAttr.set_start_index(run.startByte);
    fgAttr.set_end_index(run.endByte);
    bgAttr.set_start_index(run.startByte);
    bgAttr.set_end_index(run.endByte);
    attrs.insert(fgAttr);
    attrs.insert(bgAttr);
  }
  layout->set_text(runs.utf8);
  layout->set_attributes(attrs);
  // A glyph from a fallback font may make the line taller than a cell; the
  // clip keeps it out of the neighbouring rows.
  Glib::RefPtr<Gdk::GC> gc = Gdk::GC::create(m_area.m_pixmap);
  const Gdk::Rectangle clip(col * m_cellWidth, row * m_cellHeight, width * m_cellWidth, m_cellHeight);
  gc->set_clip_rectangle(clip);
  m_area.m_pixmap->draw_layout(gc, col * m_cellWidth, row * m_cellHeight, layout);
}

// The block sits at the bottom of the cell, white over black or blue and
// black over everything else, so it is visible on any background.
void CConsole::DrawCursorBlock() {
  const uint8_t background = AttrBackground(Row(m_cursorRow)[m_cursorCol].attr);
  Glib::RefPtr<Gdk::GC> gc = Gdk::GC::create(m_area.m_pixmap);
  SetForeground(gc, background <= Color::Blue ? "white" : "black");
  const int blockHeight = m_cellHeight * m_cursorSize / 100;
  m_area.m_pixmap->draw_rectangle(gc, true, m_cursorCol * m_cellWidth,
                                  (m_cursorRow + 1) * m_cellHeight - blockHeight, m_cellWidth,
                                  blockHeight);
}

void CConsole::DrawCursorCell() {
  if (m_cursorCol < m_columns && m_cursorRow < m_lines) DrawRect(m_cursorCol, m_cursorRow, 1, 1);
}

bool CConsoleDrawingArea::on_expose_event(GdkEventExpose* event) {
  if (!m_pixmap) return true;
  Glib::RefPtr<Gdk::Window> window = get_window();
  Glib::RefPtr<Gdk::GC> gc = Gdk::GC::create(window);
  const GdkRectangle& area = event->area;
  window->draw_drawable(gc, m_pixmap, area.x, area.y, area.x, area.y, area.width, area.height);
  return true;
}

// ---------------------------------------------------------------------------
// Cursor

void CConsole::SetCursorPos(int col, int row) {
  GdkLock lock;
  if (col == m_cursorCol && row == m_cursorRow) return;
  const int oldCol = m_cursorCol, oldRow = m_cursorRow;
  m_cursorCol = col;
  m_cursorRow = row;
  m_blinkPhase = 0;
  InvalidateLocked(oldCol, oldRow, 1, 1);
  InvalidateLocked(col, row, 1, 1);
}

void CConsole::SetCursorSize(int percent) {
  GdkLock lock;
  percent = std::clamp(percent, 0, 100);
  if (percent == m_cursorSize) return;
  m_cursorSize = percent;
  m_blinkPhase = 0;
  InvalidateLocked(m_cursorCol, m_cursorRow, 1, 1);
}

// ---------------------------------------------------------------------------
// Window

void CConsole::SetIcons(const std::vector<std::string>& files) {
  GdkLock lock;
  std::vector<Glib::RefPtr<Gdk::Pixbuf>> icons;
  for (const std::string& file : files) {
    // gtkmm reports a missing or unreadable image by exception; an icon that
    // does not load is simply left out.
    try {
      icons.push_back(Gdk::Pixbuf::create_from_file(file));
    } catch (const Glib::Error&) {
    }
  }
  if (!icons.empty()) set_icon_list(icons);
}

void CConsole::Beep() {
  GdkLock lock;
  gdk_display_beep(gdk_display_get_default());
}

// ---------------------------------------------------------------------------
// Mouse text selection

void CConsole::SetMouseArea(int col, int row, int width, int height) {
  GdkLock lock;
  m_mouseArea = {col, row, col + width - 1, row + height - 1};
  if (!m_selection.Shown()) return;
  const TCellRect old = m_selection.Rect();
  m_selection.Hide();
  InvalidateLocked(old.left, old.top, old.right - old.left + 1, old.bottom - old.top + 1);
}

bool CConsole::SelectionPress(int col, int row) {
  if (!m_mouseArea.Contains(col, row)) return false;
  if (m_selection.Shown()) {
    const TCellRect old = m_selection.Rect();
    m_selection.Hide();
    InvalidateLocked(old.left, old.top, old.right - old.left + 1, old.bottom - old.top + 1);
  }
  m_selection.Begin(col, row);
  return true;
}

bool CConsole::SelectionMotion(int col, int row) {
  if (!m_mouseArea.Contains(col, row)) return false;
  const TCellRect dirty = m_selection.Extend(col, row);
  InvalidateLocked(dirty.left, dirty.top, dirty.right - dirty.left + 1, dirty.bottom - dirty.top + 1);
  return true;
}

void CConsole::SelectionRelease() {
  if (!m_selection.Shown()) return;
  SelectionCopy();
  const TCellRect old = m_selection.Rect();
  m_selection.Hide();
  InvalidateLocked(old.left, old.top, old.right - old.left + 1, old.bottom - old.top + 1);
}

void CConsole::SelectionCopy() {
  TCellRect rect = m_selection.Rect();
  rect.right = std::min(rect.right, m_columns - 1);
  rect.bottom = std::min(rect.bottom, m_lines - 1);
  const std::u32string text = SelectionText(m_cells.get(), m_columns, rect);
  std::string utf8;
  for (char32_t ch : text) AppendUtf8(utf8, DrawableChar(ch));
  SetClipboardLocked(utf8.c_str());
}

// ---------------------------------------------------------------------------
// Title and clipboard

namespace {

// GTK takes only valid UTF-8: characters that are no Unicode scalar value
// (such as the stand-in for a decoded NUL) become U+FFFD.
std::string ToValidUtf8(const wchar_t* text) {
  std::string utf8;
  for (; text && *text; ++text) AppendUtf8(utf8, DrawableChar(static_cast<uint32_t>(*text)));
  return utf8;
}

}  // namespace

Westring CConsole::FromCodePage(const char* text) const {
  Westring wide;
  CodePageToWide(text ? text : "", -1, m_codePage, &wide);
  return wide;
}

void CConsole::SetTitle(const wchar_t* title) {
  const std::string utf8 = ToValidUtf8(title);
  GdkLock lock;
  Gtk::Window::set_title(utf8);
}

void CConsole::SetTitle(const char* title) { SetTitle(FromCodePage(title).c_str()); }

void CConsole::SetClipboardLocked(const Estring& utf8) {
  Gtk::Clipboard::get(GDK_SELECTION_CLIPBOARD)->set_text(utf8.c_str());
}

void CConsole::CopyToClipboard(const Westring& text) {
  const std::string utf8 = ToValidUtf8(text.c_str());
  GdkLock lock;
  SetClipboardLocked(utf8.c_str());
}

void CConsole::CopyToClipboard(const char* text) { CopyToClipboard(FromCodePage(text)); }

// The text arrives on the window-system thread, which owns the GTK main
// loop; this thread waits for it instead of spinning a loop of its own.
Westring CConsole::PasteFromClipboard() {
  struct Request {
    SyncEvent done;
    Glib::ustring text;
  };
  auto request = std::make_shared<Request>();
  {
    GdkLock lock;
    Gtk::Clipboard::get(GDK_SELECTION_CLIPBOARD)
        ->request_text([request](const Glib::ustring& text) {
          request->text = text;
          request->done.Signal();
        });
  }
  constexpr uint32_t kClipboardWaitMs = 3000;  // a clipboard owner that never answers
  if (request->done.Wait(kClipboardWaitMs) != 0) return Westring();
  return Westring(request->text.c_str());
}
