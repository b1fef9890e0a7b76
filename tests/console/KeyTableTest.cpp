#include "console/KeyTable.h"

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include "console/KeyCodes.h"

// The table is searched from the top: the first row with the key value and
// the exact modifier set held (or Any) gives the code.
TEST(KeyTable, LookupUsesExactModifierSets) {
  struct Case {
    const char* key;
    unsigned state;
    uint32_t code;
  };
  const unsigned S = ModState::Shift, C = ModState::Control, A = ModState::Alt;
  const unsigned NumLock = 0x10;  // Mod2: not a modifier the table looks at
  const Case cases[] = {
      {"F1", 0, Key::F1},
      {"F1", S, Key::ShiftF1},
      {"F1", C, Key::CtrlF1},
      {"F1", A, Key::AltF1},
      {"F1", S | C, Key::ShiftCtrlF1},
      {"F1", S | A, Key::ShiftAltF1},
      {"F1", C | A, 0},  // Ctrl+Alt: no row, the input method gets it
      {"Up", NumLock, Key::Up},
      {"A", S | C, 0},  // looked up as 'a' with Shift+Ctrl: no row
      {"F", S | C, Key::ShiftCtrlF},
      {"a", 0, 0},  // plain letters are typed text
      {"i", C, Key::CtrlI},
      {"numbersign", A, Key::AltHash},
      {"numbersign", C, Key::CtrlBackslash},
      {"Shift_L", S | C | A, Key::ModifierChange},  // an Any row
      {"Control_R", 0, Key::ModifierChange},
      {"KP_End", C, Key::CtrlKeypad0 + 1},
      {"KP_5", S | C, Key::ShiftCtrlKeypad0 + 5},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TranslateKey(gdk_keyval_from_name(c.key), c.state), c.code)
        << "input: " << c.key << " state " << c.state;
}

TEST(KeyTable, AltKeyCharGivesTheCarriedCharacter) {
  const std::pair<uint32_t, uint32_t> cases[] = {
      {Key::AltA, 'a'},       {Key::AltZ, 'z'},           {Key::Alt1, '1'},
      {Key::Alt0, '0'},       {Key::AltComma, ','},       {Key::AltBackslash, '\\'},
      {Key::AltAt, '@'},      {Key::AltDoubleQuote, '"'},
      {Key::AltTilde, '`'},  // one code for ` and ~: the first pair wins
      {Key::F1, Key::F1},     {'x', 'x'},
  };
  for (const auto& [code, ch] : cases)
    EXPECT_EQ(AltKeyChar(code), ch) << "input: " << std::hex << code;
}
