#pragma once
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "console/EventQueue.h"
#include "console/ScreenDump.h"
#include "console/Selection.h"
#include "console/WindowSize.h"
#include "foundation/Cell.h"
#include "foundation/Estring.h"
#include "foundation/Westring.h"
#include "foundation/SyncEvent.h"
#include "foundation/Thread.h"

class CConsole;
class CellString;
class CTermSession;

/// While it lives, the screen it was made for is drawn again after the grid
/// followed a new window size or font zoom. Screens register as they open,
/// so they draw oldest first and the one in front ends up on top: the
/// panels, then a viewer or editor over them, then a dialog. Application
/// thread; borrows nothing. When a screen closes after the grid changed,
/// the screens below it draw again, since what it saved is gone.
class CRedrawOnResize {
 public:
  explicit CRedrawOnResize(std::function<void()> redraw);
  ~CRedrawOnResize();
  CRedrawOnResize(const CRedrawOnResize&) = delete;
  CRedrawOnResize& operator=(const CRedrawOnResize&) = delete;

 private:
  friend class CConsole;
  std::function<void()> m_redraw;
  int m_generation;  // the grid this screen was opened on
};

/// What the key reader reports with a mouse event (and, for keys, the
/// modifier state): 16 bytes.
struct TMouseRecord {
  enum Action : uint32_t {
    LeftPress = 0, RightPress = 1, LeftDrag = 2, RightDrag = 3, LeftDoubleClick = 4,
    LeftRelease = 5, RightRelease = 6, Wheel = 7
  };
  uint32_t action = 0;
  int32_t column = 0, row = 0;
  uint16_t state = 0;
  int16_t wheelDelta = 0;
};
static_assert(sizeof(TMouseRecord) == 16, "the mouse record is 16 bytes");

/// The console's only child: shows the off-screen pixmap on expose.
class CConsoleDrawingArea : public Gtk::DrawingArea {
 public:
  explicit CConsoleDrawingArea(CConsole* console) : m_console(console) {}
  /// The console this area belongs to.
  CConsole* Owner() const { return m_console; }

  /// The backing pixmap; empty until the first drawing. GDK lock held.
  Glib::RefPtr<Gdk::Pixmap> m_pixmap;

 protected:
  bool on_expose_event(GdkEventExpose* event) override;

 private:
  CConsole* m_console;  // borrowed: the console owns this widget
};

/// A rectangle for the pending area of an update hold: right and bottom are
/// exclusive, left == -1 means empty.
struct TPendingArea {
  int left = -1, top = 0, right = 0, bottom = 0;
  bool Empty() const { return left < 0; }
};

/// The character-cell screen: one GTK window showing a grid of cells that the
/// application writes and the console turns into pixels. There is one per
/// process (g_console).
///
/// Threads: the application thread constructs it and calls every screen,
/// cursor and window operation; the window-system thread runs the GTK main
/// loop and the event handlers; the blink thread redraws the cursor. The
/// grid is written only by operations that take the GDK lock, so the blink
/// thread can read the cursor cell under the same lock.
class CConsole : public Gtk::Window {
 public:
  /// Builds the grid at 80 x 25 cells and starts the window-system thread.
  /// GLib and GDK thread support and Gtk::Main must exist already.
  CConsole();
  /// Stops the GTK main loop and joins the window-system and blink threads.
  ~CConsole() override;

  // Screen contents. Application thread (or a progress thread in its own
  // area); all clip at the right edge and never wrap; a write that changes
  // no cell draws nothing.

  /// Stores a 0-terminated UTF-32 text in one attribute from (col, row) rightwards.
  void WriteText(int col, int row, const wchar_t* text, uint8_t attr);
  /// Like WriteText for 8-bit text in the console code page.
  void WriteNarrowText(int col, int row, const char* text, uint8_t attr);
  /// Stores ready-made cells up to the first cell whose character is 0.
  void WriteCells(int col, int row, const TCell* cells);
  /// Stores the cells of a row, up to its length or its first 0 character.
  void WriteCells(int col, int row, const CellString& cells);
  /// Stores `count` copies of one cell.
  void FillCells(int col, int row, int count, TCell cell);
  /// Changes only the attributes of a run; count < 1 or a start past the edge does nothing.
  void SetAttributes(int col, int row, int count, uint8_t attr);
  /// Sets the rectangle to spaces in `attr`.
  void FillArea(int col, int row, int width, int height, uint8_t attr);
  /// Returns a copy of the rectangle's cells, row by row, for RestoreArea.
  std::unique_ptr<TCell[]> SaveArea(int col, int row, int width, int height) const;
  /// Puts back cells saved by SaveArea and redraws them.
  void RestoreArea(int col, int row, int width, int height, const TCell* cells);
  /// Copies the rectangle's cells, row by row, into `out` (replacing its contents).
  void CopyArea(int col, int row, int width, int height, CellString& out) const;
  /// Moves the rectangle's contents down (ScrollDown) or up (ScrollUp) by
  /// `count` lines, blanking the freed lines in `attr`; moves pixels instead
  /// of drawing text again.
  void ScrollDown(int col, int row, int width, int height, int count, uint8_t attr);
  void ScrollUp(int col, int row, int width, int height, int count, uint8_t attr);
  /// Marks a rectangle for drawing: at once, or at the end of an update hold.
  void Invalidate(int col, int row, int width, int height);
  /// Starts or nests an update hold; drawing is collected into one rectangle.
  void BeginUpdate();
  /// Ends one level of hold and draws the collected rectangle at the outermost; harmless without a hold.
  void EndUpdate();

  int Columns() const { return m_columns; }
  const std::string& FontFamily() const { return m_fontFamily; }
  int FontSize() const { return m_fontSize; }
  int Lines() const { return m_lines; }
  /// Rebuilds a blank grid of `lines` x `columns`; an empty family or size 0
  /// keeps the current font. Then calls the resize handler.
  void SetScreenSize(int lines, int columns, const std::string& fontFamily = "", int fontSize = 0);
  /// Counts grid rebuilds: cells saved under another generation are stale.
  int GridGeneration() const { return m_gridGeneration; }
  /// Called after SetScreenSize so the application can re-read its layout.
  void SetResizeHandler(std::function<void()> handler) { m_onResize = std::move(handler); }
  /// Called around a size change that the window made (the user resized it
  /// or zoomed the font): `before` while the old grid still stands (to take
  /// down what saved old cells), `after` once the resize handler and every
  /// CRedrawOnResize ran (to store the new size in the settings).
  void SetWindowResizeHandlers(std::function<void()> before, std::function<void()> after) {
    m_onWindowResizeStart = std::move(before);
    m_onWindowResizeDone = std::move(after);
  }
  /// Brings the grid to the size the window settled at, or to the font zoom
  /// asked for with Ctrl+mouse wheel: the overlapping cells are kept, the
  /// resize handler runs, an attached session is told the new size, and
  /// every registered screen draws again. Returns whether anything changed.
  /// GetKey and an attached command's loop call it. Application thread.
  bool FollowWindowSize();
  /// Asks for a font `steps` points larger (negative: smaller), keeping the
  /// window's pixel size; FollowWindowSize carries it out. Any thread.
  void ZoomFont(int steps);
  /// Sets the code page of narrow text; 0 keeps the current one.
  void SetCodePage(int codePage);
  int CodePage() const { return m_codePage; }

  // Input. Application thread.

  using TEvent = TConsoleEvent;
  using CEventQueue = ::CEventQueue;

  /// Reads the next key code: a character, an extended key, 0x10100 when the
  /// modifier state changed, 0x200000 for a mouse event (details in `info`),
  /// or 0 when `timeoutMs` passed. A negative time-out waits without limit,
  /// running the idle handler before waiting and once a second meanwhile.
  uint32_t GetKey(TMouseRecord* info, int timeoutMs);
  /// Whether an event is waiting.
  bool KeyPending() { return m_queue.Count() > 0; }
  /// Waits ms milliseconds unless input arrives first (then false): the
  /// pace of auto-repeat while a mouse button is held.
  bool WaitWithoutInput(int ms);
  /// Takes one waiting event, if any, and says whether it was Escape; the
  /// event is consumed whatever it was, so long operations call it between steps.
  bool EscPressed();
  /// Writes the grid's text when a scripted check asked for it
  /// (ScreenDump.h); the key reader and an attached command's loop call it.
  void DumpScreenIfAsked();
  /// Starts the thread through which SIGUSR1 wakes the key reader (ScreenDump.h).
  void StartScreenDumpWaker() { (void)m_dumpWaker.Start(&m_queue); }
  /// Called by GetKey before and while it waits (the clock).
  void SetIdleHandler(std::function<void()> handler) { m_onIdle = std::move(handler); }
  /// The queue the window-system thread posts to; tests post here directly.
  CEventQueue& Events() { return m_queue; }

  // Cursor.
  void SetCursorPos(int col, int row);
  int CursorColumn() const { return m_cursorCol; }
  int CursorRow() const { return m_cursorRow; }
  /// Cursor height in percent of the cell; 0 hides it.
  void SetCursorSize(int percent);
  int CursorSize() const { return m_cursorSize; }
  /// Shows the cursor now and starts a new blink period (after any input).
  void RestartBlink() { m_blinkPhase = 0; }

  // Window.
  /// Sets the window title from wide text, or from narrow text in the console code page.
  void SetTitle(const wchar_t* title);
  void SetTitle(const char* title);
  /// Sets the window icons from image files; files that do not load are skipped.
  void SetIcons(const std::vector<std::string>& files);
  void Beep();
  /// Puts wide text, or narrow text in the console code page, on the CLIPBOARD selection.
  void CopyToClipboard(const Westring& text);
  void CopyToClipboard(const char* text);
  /// Returns the CLIPBOARD text, empty when there is none or its owner does not answer.
  Westring PasteFromClipboard();

  /// The rectangle where a press and drag selects text; setting it hides a shown selection.
  void SetMouseArea(int col, int row, int width, int height);
  const TCellRect& MouseArea() const { return m_mouseArea; }

  // Child output. Application thread.

  /// Creates the terminal session of an attached command on a pseudo-
  /// terminal's master descriptor (not owned): from now on keys and typed
  /// text go to it as terminal bytes and mouse events are dropped.
  void AttachSession(int masterFd);
  /// Ends the session and gives input back to the event queue.
  void DetachSession();
  CTermSession* Session() const { return m_session; }
  /// A child's output: through the session while one is attached, else as
  /// a teletype (tabs, carriage returns, backspaces and line feeds obeyed,
  /// lines scrolled off the top kept in the scroll-back). UTF-8; count < 0
  /// means up to the 0 byte.
  void WriteOutput(const char* text, int count);
  /// The colour of child output.
  void SetOutputAttr(uint8_t attr) { m_outputAttr = attr; }
  uint8_t OutputAttr() const { return m_outputAttr; }

  int CellWidth() const { return m_cellWidth; }
  int CellHeight() const { return m_cellHeight; }

  /// The cell at (col, row); for tests and for code that reads the screen back.
  TCell CellAt(int col, int row) const;
  /// Rectangles drawn into the pixmap so far; tests use it to see that a
  /// write which changes nothing draws nothing and a hold draws once.
  int DrawCount() const { return m_drawCount; }
  /// The colour (0xRRGGBB) of one pixel of the off-screen image; 0 before
  /// anything was drawn. Takes the GDK lock; for tests that check rendering.
  uint32_t PixelAt(int x, int y);
  /// The area collected by the current update hold.
  TPendingArea PendingArea() const { return m_pending; }
  /// Runs `fn` on the window-system thread with the GDK lock held and waits for it.
  void RunOnWindowThread(const std::function<void()>& fn);

  /// Mouse text selection, called by the mouse handlers first; each returns
  /// whether it consumed the event. Window-system thread, GDK lock held.
  bool SelectionPress(int col, int row);
  bool SelectionMotion(int col, int row);
  void SelectionRelease();

 protected:
  bool on_button_press_event(GdkEventButton* event) override;
  bool on_button_release_event(GdkEventButton* event) override;
  bool on_scroll_event(GdkEventScroll* event) override;
  bool on_motion_notify_event(GdkEventMotion* event) override;
  bool on_delete_event(GdkEventAny* event) override;
  bool on_key_press_event(GdkEventKey* event) override;
  bool on_key_release_event(GdkEventKey* event) override;

 private:
  void OnCommit(const Glib::ustring& text);
  void PostMouse(TConsoleEvent::Type type, int code, unsigned state, double x, double y);
  void FindDigitRowKeys();
  int DigitRowIndex(unsigned hardwareKey) const;
  void RunIdle() {
    // Keys still waiting would change the screen at once, so a dump waits for them.
    if (m_queue.Count() == 0) DumpScreenIfAsked();
    if (m_onIdle) m_onIdle();
  }

  friend class CConsoleDrawingArea;

  TCell* Row(int row) { return m_cells.get() + row * m_columns; }
  const TCell* Row(int row) const { return m_cells.get() + row * m_columns; }
  bool ClipRun(int col, int row, int& count) const;
  // At most count cells, up to the first 0 character. GDK lock taken.
  void WriteCellRun(int col, int row, const TCell* source, int count);
  /// Stores one cell; returns whether it changed. GDK lock held.
  bool StoreCell(TCell* slot, uint32_t ch, uint8_t attr);
  void InvalidateLocked(int col, int row, int width, int height);
  void BuildGridAndMetrics();
  bool OnConfigure(GdkEventConfigure* event);
  static gboolean SettleTick(gpointer self);
  /// Sizes the window and its hints for the grid (GDK lock held).
  void FitWindowToGrid();
  /// Replaces the grid by one of lines x columns that keeps the overlapping cells. GDK lock held.
  void RebuildGridKeeping(int lines, int columns);
  void RedrawScreens();
  friend class CRedrawOnResize;
  void MeasureCell();
  void SelectionCopy();
  void WriteTeletype(const char* text, int count);
  /// Converts narrow text from the console code page.
  Westring FromCodePage(const char* text) const;
  /// Sets the CLIPBOARD text. GDK lock held.
  static void SetClipboardLocked(const Estring& utf8);
  void ScrollArea(int col, int row, int width, int height, int count, uint8_t attr, bool down);

  // Pixel side; every one of these runs with the GDK lock held.
  void DrawRect(int col, int row, int width, int height);
  bool EnsurePixmap();
  void DrawRowText(Glib::RefPtr<Pango::Layout>& layout, int row, int col, int width);
  void DrawCursorBlock();
  void DrawCursorCell();
  void SetForeground(const Glib::RefPtr<Gdk::GC>& gc, const char* colorName);

  static void* WindowThreadMain(void* self);
  static void* BlinkThreadMain(void* self);
  void RunWindowSystem();
  void RunBlink();

  CConsoleDrawingArea m_area;
  ThreadHandle m_windowThread = 0;
  ThreadHandle m_blinkThread = 0;
  std::string m_fontFamily = "DejaVu Sans Mono";
  int m_columns = 80;
  int m_lines = 25;
  int m_fontSize = 12;
  SyncEvent m_blinkStop;
  SyncEvent m_windowReady;
  // The window sizes in pixels the program asked for last and before that;
  // a late answer to an earlier one is asked again. GDK lock held.
  std::pair<int, int> m_lastRequest{0, 0};
  int64_t m_lastRequestMs = 0;
  std::pair<int, int> m_earlierRequests[4] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
  int m_resizeFollowUps = 0;
  CResizeSettler m_settler{kResizeQuietMs};  // GDK lock held
  unsigned m_settleTimer = 0;                // GDK lock held
  // What the window-system thread hands to FollowWindowSize: the settled
  // screen (columns << 16 | lines, 0 for none) and font steps.
  std::atomic<uint32_t> m_windowCells{0};
  std::atomic<int> m_fontZoom{0};
  static constexpr int kResizeQuietMs = 120;
  int m_cellHeight = 0;
  int m_cellWidth = 0;
  int m_codePage = 850;
  uint8_t m_outputAttr = 7;
  int m_cursorSize = 0;
  int m_cursorCol = 0;
  int m_cursorRow = 0;
  std::atomic<int> m_blinkPhase{0};
  std::unique_ptr<TCell[]> m_cells;
  int m_holdCount = 0;
  TPendingArea m_pending;
  TCellRect m_mouseArea;
  TextSelection m_selection;
  Pango::FontDescription m_font;
  std::function<void()> m_onResize;
  std::function<void()> m_onWindowResizeStart;
  std::function<void()> m_onWindowResizeDone;
  std::vector<CRedrawOnResize*> m_redraws;  // application thread
  int m_gridGeneration = 0;
  // The attached command's session: set and cleared by the application
  // thread under the GDK lock, read by the window-system thread's handlers,
  // which run under it.
  CTermSession* m_session = nullptr;
  std::atomic<int> m_drawCount{0};

  // Input: the queue is shared; the rest belongs to one thread each.
  CEventQueue m_queue;
  CScreenDumpWaker m_dumpWaker;  // after the queue, so it stops first
  std::function<void()> m_onIdle;
  GtkIMContext* m_inputMethod = nullptr;  // window-system thread
  unsigned m_digitRowKeys[10] = {};       // X key codes of 1..9, 0; window-system thread
  unsigned m_currentState = 0;            // application thread
  unsigned m_reportedState = 0;           // application thread
};


/// The process-wide break request: 0 idle, 1 a long operation accepts a
/// break, 2 the user pressed Break. The operation polls for 2, stops and
/// sets it back to 0.
extern std::atomic<int> g_breakFlag;

/// The process's console; set by whoever creates it.
extern CConsole* g_console;
