#include "console/KeyTable.h"

#include <gdk/gdk.h>
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "console/KeyCodes.h"

namespace {

// The key list as it is written down for people: groups of "name code"
// items separated by ";", where "F1-F10 0x1003B-0x10044" stands for ten
// rows. The table in the code must give exactly these rows, in this order.
struct TListGroup {
  KeyMods mods;
  const char* items;
};

const TListGroup kKeyList[] = {
    {KeyMods::None,
     "F1-F10 0x1003B-0x10044; F11 0x10085; F12 0x10086; Return 0x0D; BackSpace 0x10101; Tab 0x09; "
     "Escape 0x1B; Delete 0x10053; Home 0x10047; Left 0x1004B; Up 0x10048; Right 0x1004D; "
     "Down 0x10050; Page_Up 0x10049; Page_Down 0x10051; End 0x1004F; Insert 0x10052"},
    {KeyMods::Alt,
     "F1-F10 0x10068-0x10071; F11 0x1008B; F12 0x1008C; Return 0x1001C; BackSpace 0x1000E; "
     "Left 0x1009B; Up 0x10098; Right 0x1009D; Down 0x100A0; Home 0x10097; 1-9 0x10078-0x10080; "
     "0 0x10081; a 0x1001E; b 0x10030; c 0x1002E; d 0x10020; e 0x10012; f 0x10021; g 0x10022; "
     "h 0x10023; i 0x10017; j 0x10024; k 0x10025; l 0x10026; m 0x10032; n 0x10031; o 0x10018; "
     "p 0x10019; q 0x10010; r 0x10013; s 0x1001F; t 0x10014; u 0x10016; v 0x1002F; w 0x10011; "
     "x 0x1002D; y 0x10015; z 0x1002C; backslash 0x1002B; period 0x10034; comma 0x10033; "
     "bracketleft 0x1001A; bracketright 0x1001B; minus 0x10082; equal 0x10083; "
     "semicolon 0x10027; apostrophe 0x10028; numbersign 0x3007A"},
    {KeyMods::Ctrl,
     "F1-F10 0x1005E-0x10067; F11 0x10089; F12 0x1008A; BackSpace 0x7F; Delete 0x10093; "
     "Home 0x10077; Left 0x10073; Up 0x1008D; Right 0x10074; Down 0x10091; Page_Up 0x10084; "
     "Page_Down 0x10076; End 0x10075; Insert 0x10092; Return 0x0A; Tab 0x10094; backslash 0x1C; "
     "numbersign 0x1C; minus 0x1F; bracketleft 0x1B; bracketright 0x1D; a-h 0x01-0x08; "
     "i 0x10102; j-l 0x0A-0x0C; m 0x10103; n-z 0x0E-0x1A; space 0x20"},
    {KeyMods::Shift,
     "F1-F10 0x30054-0x3005D; F11 0x30087; F12 0x30088; Left 0x3004B; Up 0x30048; Right 0x3004D; "
     "Down 0x30050; ISO_Left_Tab 0x3000F; Delete 0x30053; Home 0x30047; Page_Up 0x30049; "
     "Page_Down 0x30051; End 0x3004F; Insert 0x30052; Return 0x0D"},
    {KeyMods::ShiftCtrl,
     "F1-F10 0x3005E-0x30067; F11 0x30089; F12 0x3008A; bar 0x2001C; Left 0x30073; "
     "Right 0x30074; Home 0x30077; End 0x30075; Page_Up 0x30084; Page_Down 0x30076; "
     "Insert 0x30092; f 0x20006; j 0x2000A; m 0x30103; KP_Add 0x30090; KP_Subtract 0x3008E; "
     "Return 0x3001C; apostrophe 0x2001C"},
    {KeyMods::ShiftAlt,
     "BackSpace 0x3000E; F1-F10 0x30068-0x30071; F11 0x3008B; F12 0x3008C; underscore 0x30082; "
     "plus 0x30083; exclam 0x30078; at 0x30079; numbersign 0x3007A; dollar 0x3007B; "
     "percent 0x3007C; asciicircum 0x3007D; ampersand 0x3007E; parenleft 0x30080; "
     "parenright 0x30081; braceleft 0x3001A; braceright 0x3001B; asciitilde 0x10029; "
     "colon 0x30027; quotedbl 0x30028; apostrophe 0x10028"},
    {KeyMods::None,
     "KP_Add 0x40002B; KP_Subtract 0x40002D; KP_Multiply 0x40002A; KP_Enter 0x0D; "
     "KP_Home 0x10047; KP_Up 0x10048; KP_Page_Up 0x10049; KP_Left 0x1004B; KP_Right 0x1004D; "
     "KP_End 0x1004F; KP_Down 0x10050; KP_Page_Down 0x10051; KP_Insert 0x10052; KP_Delete 0x10053"},
    {KeyMods::Ctrl,
     "KP_Add 0x10090; KP_Subtract 0x1008E; KP_0-KP_9 0x40030-0x40039; KP_Insert 0x40030; "
     "KP_End 0x40031; KP_Down 0x40032; KP_Page_Down 0x40033; KP_Left 0x40034; KP_Begin 0x40035; "
     "KP_Right 0x40036; KP_Home 0x40037; KP_Up 0x40038; KP_Page_Up 0x40039; KP_Delete 0x10093"},
    {KeyMods::Alt, "KP_Add 0x1004E; KP_Subtract 0x1004A"},
    {KeyMods::Shift, "KP_0 0x30052; KP_Decimal 0x30053"},
    {KeyMods::ShiftCtrl,
     "KP_0-KP_9 0x60030-0x60039; KP_Insert 0x60030; KP_End 0x60031; KP_Down 0x60032; "
     "KP_Page_Down 0x60033; KP_Left 0x60034; KP_Begin 0x60035; KP_Right 0x60036; "
     "KP_Home 0x60037; KP_Up 0x60038; KP_Page_Up 0x60039"},
    {KeyMods::Any,
     "Alt_L 0x10100; Alt_R 0x10100; Control_L 0x10100; Control_R 0x10100; Shift_L 0x10100; "
     "Shift_R 0x10100"},
};

struct TListRow {
  std::string name;
  KeyMods mods;
  uint32_t code;
};

// "F1" -> {"F", 1}; a one-character name ("a", "1") is its character code,
// so "a-h" and "1-9" expand the same way.
void SplitName(const std::string& name, std::string& stem, int& number) {
  if (name.size() == 1) {
    stem.clear();
    number = static_cast<unsigned char>(name[0]);
    return;
  }
  const size_t digits = name.find_last_not_of("0123456789") + 1;
  stem = name.substr(0, digits);
  number = std::stoi(name.substr(digits));
}

std::string JoinName(const std::string& stem, int number) {
  return stem.empty() ? std::string(1, static_cast<char>(number)) : stem + std::to_string(number);
}

std::vector<TListRow> ExpandList() {
  std::vector<TListRow> rows;
  for (const TListGroup& group : kKeyList) {
    std::stringstream items(group.items);
    std::string item;
    while (std::getline(items, item, ';')) {
      std::stringstream fields(item);
      std::string name, code;
      fields >> name >> code;
      const size_t nameDash = name.find('-', 1), codeDash = code.find('-');
      if (nameDash == std::string::npos || codeDash == std::string::npos) {
        rows.push_back({name, group.mods, static_cast<uint32_t>(std::stoul(code, nullptr, 16))});
        continue;
      }
      std::string stem, endStem;
      int first = 0, last = 0;
      SplitName(name.substr(0, nameDash), stem, first);
      SplitName(name.substr(nameDash + 1), endStem, last);
      uint32_t value = static_cast<uint32_t>(std::stoul(code.substr(0, codeDash), nullptr, 16));
      for (int n = first; n <= last; ++n, ++value) rows.push_back({JoinName(stem, n), group.mods, value});
    }
  }
  return rows;
}

}  // namespace

TEST(KeyTable, EveryRowMatchesTheKeyListInOrder) {
  const std::vector<TListRow> list = ExpandList();
  ASSERT_EQ(list.size(), 296u);
  ASSERT_EQ(kKeyTableSize, list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    const TKeyRow& row = kKeyTable[i];
    const uint32_t keyval = gdk_keyval_from_name(list[i].name.c_str());
    ASSERT_NE(keyval, static_cast<uint32_t>(GDK_KEY_VoidSymbol)) << list[i].name;
    EXPECT_EQ(row.keyval, keyval) << "row " << i << " should be " << list[i].name;
    EXPECT_EQ(row.mods, list[i].mods) << "row " << i << " " << list[i].name;
    EXPECT_EQ(row.code, list[i].code) << "row " << i << " " << list[i].name;
  }
}

TEST(KeyTable, LookupUsesExactModifierSetsAndFirstRowWins) {
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
      {"F1", S | A, 0x30068},
      {"F1", C | A, 0},          // Ctrl+Alt: no row, the input method gets it
      {"Up", NumLock, Key::Up},
      {"A", S | C, 0},           // looked up as 'a' with Shift+Ctrl: no row
      {"F", S | C, 0x20006},
      {"a", 0, 0},               // plain letters are typed text
      {"i", C, 0x10102},
      {"numbersign", A, 0x3007A},
      {"numbersign", C, 0x1C},
      {"Shift_L", S | C | A, Key::ModifierChange},
      {"KP_End", C, 0x40031},
      {"KP_5", S | C, 0x60035},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TranslateKey(gdk_keyval_from_name(c.key), c.state), c.code)
        << c.key << " state " << c.state;
}

TEST(KeyTable, AltKeyCharGivesTheCarriedCharacter) {
  const std::pair<uint32_t, uint32_t> cases[] = {
      {0x1001E, 'a'}, {0x1002C, 'z'}, {0x10078, '1'}, {0x10081, '0'}, {0x10033, ','},
      {0x1002B, '\\'}, {0x30079, '@'}, {0x30028, '"'}, {0x10029, '`'},  // the first pair wins
      {Key::F1, Key::F1}, {'x', 'x'},
  };
  for (const auto& [code, ch] : cases) EXPECT_EQ(AltKeyChar(code), ch) << std::hex << code;
}
