#include "console/KeyTable.h"

#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "console/KeyCodes.h"

// The table is searched from the top: the first row with the key value and
// the exact modifier set held (or Any) gives the code.
TEST(KeyTable, LookupUsesExactModifierSets) {
  const unsigned S = ModState::Shift, C = ModState::Control, A = ModState::Alt;
  const std::tuple<const char*, unsigned, uint32_t> cases[] = {
      {"F1", C | A, 0},  // Ctrl+Alt: no row, the input method gets it
      {"A", S | C, 0},  // looked up as 'a' with Shift+Ctrl: no row
      {"F", S | C, Key::ShiftCtrlF},
      {"a", 0, 0},  // plain letters are typed text
      {"numbersign", A, Key::AltHash},
      {"numbersign", C, Key::CtrlBackslash},
      {"Shift_L", S | C | A, Key::ModifierChange},  // an Any row
      {"KP_5", S | C, Key::ShiftCtrlKeypad0 + 5},
  };
  for (const auto& [key, state, code] : cases)
    EXPECT_EQ(TranslateKey(gdk_keyval_from_name(key), state), code)
        << "input: " << key << " state " << state;
}

TEST(KeyTable, AltKeyCharGivesTheCarriedCharacter) {
  const std::pair<uint32_t, uint32_t> cases[] = {
      {Key::Alt0, '0'},      {Key::AltDoubleQuote, '"'},
      {Key::AltTilde, '`'},  // one code for ` and ~: the first pair wins
      {Key::F1, Key::F1},
  };
  for (const auto& [code, ch] : cases)
    EXPECT_EQ(AltKeyChar(code), ch) << "input: " << std::hex << code;
}
