#pragma once
// The look settings every drawing part reads: the colour scheme, window
// shadows and the auto-scroll delay. Plain process-wide variables that the
// configuration sets at start-up and from its dialogs; application thread.
#include <cstdint>

/// The colour classes of the scheme, in the configuration's order.
enum class ColourClass : int {
  Panel, Highlight, Tagged, HighlightTagged, Directories, DirectoryHigh, CommandLine,
  Messages, Errors, InputFields, ScreenSaver, Menu, MenuBar, MenuHighlight, MenuQuickKey,
  DisabledMenu, FileViewer, Clock,
  Count
};
constexpr int ColourClassCount = static_cast<int>(ColourClass::Count);

/// The scheme's attributes (background high nibble, foreground low nibble).
extern uint8_t g_colours[ColourClassCount];
/// The attributes the scheme starts with.
extern const uint8_t DefaultColours[ColourClassCount];
inline uint8_t Colour(ColourClass cls) { return g_colours[static_cast<int>(cls)]; }

/// Windows cast shadows (the Shadows setting).
extern bool g_shadows;
/// Milliseconds between auto-scroll steps while a mouse button is held (ScrollDelay).
extern int g_scrollDelay;

/// Reads a colour specification such as "bri yel on blu" starting from the
/// attribute `start`: words of which only the first three letters count (any
/// case), "bla" to "whi" for colours 0 to 7, "bri" for brightness and "on"
/// to move from the foreground to the background. The first foreground word
/// clears the old foreground, the first background word the old background.
uint8_t ParseColourSpec(const char* spec, uint8_t start);
