#include "config/SettingsDialogs.h"

#include <cstring>

#include "config/Settings.h"
#include "config/Startup.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/CheckBox.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"

const char* const ColourClassNames[ColourClassCount] = {
    "Panel",       "Highlight",    "Tagged",         "Highlight-Tagged", "Directories",
    "Directory High", "Command Line", "Messages",     "Errors",           "Input Fields",
    "Screen Saver", "Menu",         "Menu Bar",       "Menu Highlight",   "Menu Quick Key",
    "Disabled Menu", "File Viewer", "Clock"};

namespace {

constexpr int kThirdDown = -3;

// The label ends just before `column`, right-aligned.
void AddRightAligned(Dialog& dialog, int column, int row, const char* label) {
  dialog.AddStaticText(column - static_cast<int>(Westring(label).Length()), row, true, label);
}

// Everything the configuration dialog can change, to put back on Cancel.
struct TConfigurationCopy {
  TSettings settings = g_settings;
  int scrollDelay = g_scrollDelay;
  void Restore() const {
    g_settings = settings;
    g_scrollDelay = scrollDelay;
  }
};

}  // namespace

bool RunConfigurationDialog() {
  const TConfigurationCopy saved;
  TSettings& s = g_settings;
  Dialog dialog(-1, kThirdDown, 76, 19, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::Configuration);
  dialog.DrawTitle(Westring(" Configuration "));
  struct TField {
    int row;
    const char* label;
    Westring* value;
  };
  const TField fields[] = {
      {1, "Viewer:", &s.viewer},
      {2, "Alternate Viewer:", &s.viewer2},
      {3, "Editor:", &s.editor},
      {4, "Alternate Editor:", &s.editor2},
      {6, "Left Startup Directory:", &s.left},
      {7, "Right Startup Directory:", &s.right},
      {9, "Separate Session Prefix:", &s.background},
      {10, "Tree Data Directory:", &s.treeDir},
      {11, "Case Filter File Systems:", &s.caseFilter},
      {12, "Path Extension:", &s.pathAppend},
  };
  constexpr int kFieldColumn = 28, kFieldWidth = 20;
  for (const TField& field : fields) {
    AddRightAligned(dialog, kFieldColumn, field.row, field.label);
    dialog.AddStringField(kFieldColumn, field.row, false, field.value, kFieldWidth, -1);
  }
  uint8_t autoSave = s.autoSave, pmClip = s.pmClip, escSwitch = s.escPanelSwitch,
          sizePause = s.sizeCountPause;
  constexpr int kBoxColumn = 51;
  dialog.AddCheckBox(kBoxColumn, 1, true, &autoSave, "Auto Save", true);
  dialog.AddCheckBox(kBoxColumn, 2, true, &pmClip, "Use X clipboard", true);
  dialog.AddCheckBox(kBoxColumn, 3, true, &escSwitch, "ESC Panel Switch", true);
  dialog.AddCheckBox(kBoxColumn, 4, true, &sizePause, "Size Count Pause", true);
  int32_t scrollDelay = g_scrollDelay;
  constexpr int kNumberColumn = 65;
  AddRightAligned(dialog, kNumberColumn - 1, 6, "Lines");
  dialog.AddIntegerField(kNumberColumn, 6, false, &s.lines, 3);
  AddRightAligned(dialog, kNumberColumn - 1, 7, "Columns");
  dialog.AddIntegerField(kNumberColumn, 7, false, &s.columns, 3);
  AddRightAligned(dialog, kNumberColumn - 1, 8, "Scroll Delay");
  dialog.AddIntegerField(kNumberColumn, 8, false, &scrollDelay, 3);
  dialog.AddStaticText(kBoxColumn, 10, true, "Time Mode");
  dialog.AddRadioButton(61, 10, false, &s.timeMode, 12, "12 HR");
  dialog.AddRadioButton(61, 11, false, &s.timeMode, 24, "24 HR");
  dialog.AddPushButton(23, 16, true, DialogResult::Ok, "OK");
  dialog.AddPushButton(31, 16, false, DialogResult::Cancel, "Cancel");
  dialog.AddPushButton(43, 16, false, static_cast<int>(Key::F1), "Help");
  dialog.SetDefaultResult(DialogResult::Ok);

  if (dialog.Run() != DialogResult::Ok) {
    saved.Restore();
    return false;
  }
  dialog.CommitAll();
  s.autoSave = autoSave;
  s.pmClip = pmClip;
  s.escPanelSwitch = escSwitch;
  s.sizeCountPause = sizePause;
  g_scrollDelay = scrollDelay;
  ApplyConfiguration();
  if (g_console && ((s.lines > 0 && s.lines != g_console->Lines()) ||
                    (s.columns > 0 && s.columns != g_console->Columns())))
    g_console->SetScreenSize(s.lines > 0 ? s.lines : g_console->Lines(),
                             s.columns > 0 ? s.columns : g_console->Columns());
  return true;
}

bool RunColoursDialog() {
  uint8_t saved[ColourClassCount];
  memcpy(saved, g_colours, sizeof saved);
  Dialog dialog(-1, kThirdDown, 32, 21, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::Colours);
  dialog.DrawTitle(Westring(" Varnak Colours "));
  int selected = 0;
  dialog.AddColourSelector(1, 1, true, 28, 13, ColourClassNames, ColourClassCount, g_colours,
                           &selected, 0);
  dialog.AddStaticText(-1, 15, true, "F=Foreground B=Background");
  dialog.AddStaticText(-1, 16, true, "Shift-F/B=Change Backwards");
  dialog.AddPushButton(6, 18, true, DialogResult::Ok, "OK");
  dialog.AddPushButton(14, 18, false, DialogResult::Cancel, "Cancel");
  if (dialog.Run() != DialogResult::Ok) {
    memcpy(g_colours, saved, sizeof saved);
    return false;
  }
  uint8_t& quickKey = g_colours[static_cast<int>(ColourClass::MenuQuickKey)];
  quickKey = MakeAttr(AttrForeground(quickKey), Color::Black);
  return true;
}

bool RunConfirmationsDialog() {
  static const char* const kLabels[] = {
      "Delete File/Empty Directory", "Delete Tagged Files", "Delete Non-empty Directory",
      "Quit Varnak", "\"YES\" prompt for Non-Empty Directory"};
  constexpr int kBoxes = sizeof kLabels / sizeof kLabels[0];
  uint8_t asked[kBoxes];
  Dialog dialog(-1, 5, 44, 5 + 13, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::Confirmations);
  dialog.DrawTitle(Westring(" Confirmations "));
  for (int bit = 0; bit < kBoxes; ++bit) {
    asked[bit] = (g_settings.confirmations & (1 << bit)) == 0;
    dialog.AddCheckBox(1, 1 + bit, true, &asked[bit], kLabels[bit], true);
  }
  dialog.AddPushButton(7, 7, true, DialogResult::Ok, "OK");
  dialog.AddPushButton(15, 7, false, DialogResult::Cancel, "Cancel");
  dialog.AddPushButton(27, 7, false, static_cast<int>(Key::F1), "Help");
  dialog.SetDefaultResult(DialogResult::Ok);
  if (dialog.Run() != DialogResult::Ok) return false;
  int32_t mask = 0;
  for (int bit = 0; bit < kBoxes; ++bit)
    if (!asked[bit]) mask |= 1 << bit;
  g_settings.confirmations = mask;
  return true;
}
