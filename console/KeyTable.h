#pragma once
#include <cstddef>
#include <cstdint>

/// GDK's modifier bits as the key codes use them.
namespace ModState {
constexpr unsigned Shift = 1, Control = 4, Alt = 8;
}

/// The modifier set a translation row asks for. Unlisted is a held set no
/// row names (Ctrl+Alt, say): only Any rows match it.
enum class KeyMods : uint8_t { None, Shift, Ctrl, Alt, ShiftCtrl, ShiftAlt, Any, Unlisted };

/// One row of the key translation table: an X keysym, a modifier set and the code it gives.
struct TKeyRow {
  uint32_t keyval;
  KeyMods mods;
  uint32_t code;
};

extern const TKeyRow kKeyTable[];
extern const size_t kKeyTableSize;

/// The modifier set of a GDK state (only Shift, Control and Alt count).
KeyMods ModsOfState(unsigned state);

/// The key code of a key value with the held modifiers, or 0 when no row
/// matches (the key then goes to the input method). Upper-case ASCII
/// letters are looked up as lower-case ones.
uint32_t TranslateKey(uint32_t keyval, unsigned state);

/// The character an Alt (or Shift+Alt) character key carries, for quick
/// search and menu hot letters; any other code comes back unchanged.
uint32_t AltKeyChar(uint32_t code);
