#include "config/Settings.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

#include "dialogs/Look.h"
#include "foundation/NumberFormat.h"

TSettings g_settings;
TArchiverRecord g_archivers[ArchiverCount];
TObjectStore<TAssociation> g_patterns[PatternSectionCount];
TObjectStore<TAssociation> g_environment;

namespace {

using T = SettingType;

const TSettingRow kRows[] = {
    {"AutoIndent", T::Flag, &g_settings.autoIndent},
    {"AutoSave", T::Flag, &g_settings.autoSave},
    {"Background", T::Wide, &g_settings.background},
    {"BriefWordRight", T::Flag, &g_settings.briefWordRight},
    {"CaseFilter", T::Wide, &g_settings.caseFilter},
    {"CaseMod", T::Narrow, &g_settings.caseMod},
    {"CaseModRecurse", T::Flag, &g_settings.caseModRecurse},
    {"CaseModDirs", T::Flag, &g_settings.caseModDirs},
    {"CaseModFiles", T::Flag, &g_settings.caseModFiles},
    {"Clock", T::Flag, &g_settings.clock},
    {"CmdChar", T::Byte, &g_settings.cmdChar},
    {"CMPContents", T::Flag, &g_settings.cmpContents},
    {"CMPMask", T::Wide, &g_settings.cmpMask},
    {"CMPSize", T::Integer, &g_settings.cmpSize},
    {"CMPTime", T::Integer, &g_settings.cmpTime},
    {"CMPUnmatched", T::Flag, &g_settings.cmpUnmatched},
    {"CodePage", T::Integer, &g_settings.codePage},
    {"Confirmations", T::Integer, &g_settings.confirmations},
    {"ConsoleScrollback", T::Flag, &g_settings.consoleScrollback},
    {"CtrlRDriveChng", T::Flag, &g_settings.ctrlRDriveChng},
    {"DisableInvert", T::Flag, &g_settings.disableInvert},
    {"Editor", T::Wide, &g_settings.editor},
    {"Editor2", T::Wide, &g_settings.editor2},
    {"EscPanelSwitch", T::Flag, &g_settings.escPanelSwitch},
    {"ExpandedTrees", T::Flag, &g_settings.expandedTrees},
    {"FFRootSearch", T::Flag, &g_settings.ffRootSearch},
    {"FFRecurse", T::Flag, &g_settings.ffRecurse},
    {"FFCase", T::Flag, &g_settings.ffCase},
    {"FFWholeWord", T::Flag, &g_settings.ffWholeWord},
    {"FFMultiDrive", T::Flag, &g_settings.ffMultiDrive},
    {"FFDriveList", T::Narrow, &g_settings.ffDriveList},
    {"FontFamily", T::Narrow, &g_settings.fontFamily},
    {"FontSize", T::Integer, &g_settings.fontSize},
    {"FullScreen", T::Flag, &g_settings.fullScreen},
    {"Manual", T::None, nullptr},
    {"Hidden", T::Flag, &g_settings.hidden},
    {"IndentWidth", T::Integer, &g_settings.indentWidth},
    {"KeepExtVisible", T::Flag, &g_settings.keepExtVisible},
    {"Left", T::Wide, &g_settings.left},
    {"Right", T::Wide, &g_settings.right},
    {"LeftFilter", T::Wide, &g_settings.leftFilter},
    {"RightFilter", T::Wide, &g_settings.rightFilter},
    {"LeftSort", T::Sort, &g_settings.leftSort},
    {"RightSort", T::Sort, &g_settings.rightSort},
    {"LeftStyle", T::Style, &g_settings.leftStyle},
    {"RightStyle", T::Style, &g_settings.rightStyle},
    {"LeftShowing", T::Flag, &g_settings.leftShowing},
    {"RightShowing", T::Flag, &g_settings.rightShowing},
    {"LeftType", T::Type, &g_settings.leftType},
    {"RightType", T::Type, &g_settings.rightType},
    {"Lines", T::Integer, &g_settings.lines},
    {"Columns", T::Integer, &g_settings.columns},
    {"MaxHist", T::Integer, &g_settings.maxHist},
    {"MouSpeed", T::Integer, &g_settings.mouSpeed},
    {"NumLock", T::Flag, &g_settings.numLock},
    {"OverStrike", T::Flag, &g_settings.overStrike},
    {"PathAppend", T::Wide, &g_settings.pathAppend},
    {"PathPrompt", T::Flag, &g_settings.pathPrompt},
    {"PMClip", T::Flag, &g_settings.pmClip},
    {"RetainCount", T::Flag, &g_settings.retainCount},
    {"Saver", T::Integer, &g_settings.saver},
    {"ScrollDelay", T::Integer, &g_scrollDelay},
    {"Shadows", T::Flag, &g_shadows},
    {"SizeCountPause", T::Flag, &g_settings.sizeCountPause},
    {"StartupSide", T::Byte, &g_settings.startupSide},
    {"StickyAlt", T::Flag, &g_settings.stickyAlt},
    {"TabWidth", T::Integer, &g_settings.tabWidth},
    {"TagDirs", T::Flag, &g_settings.tagDirs},
    {"TextCodePage", T::Integer, &g_settings.textCodePage},
    {"TimeMode", T::TimeMode, &g_settings.timeMode},
    {"ThousandSep", T::Flag, &g_groupThousands},
    {"TranslateCP", T::Narrow, &g_settings.translateCp},
    {"TreeDir", T::Wide, &g_settings.treeDir},
    {"Use132", T::None, nullptr},
    {"Viewer", T::Wide, &g_settings.viewer},
    {"Viewer2", T::Wide, &g_settings.viewer2},
    {"ViewerWrap", T::Flag, &g_settings.viewerWrap},
    {"WaitDOS", T::Flag, &g_settings.waitDos},
    {"Colours", T::Colours, g_colours},
};
constexpr int kRowCount = sizeof kRows / sizeof kRows[0];

const char* const kSortWords[] = {"name",  "extension", "time",  "size", "unsorted",
                                  "rname", "rextension", "rtime", "rsize", "unsorted"};
const char* const kStyleWords[] = {"brief", "full", "wide", "briefwide", "unix"};
const char* const kTypeWords[] = {"files", "info"};

template <size_t N>
int32_t WordIndex(const char* const (&words)[N], const char* value, int32_t unknown) {
  for (size_t i = 0; i < N; ++i)
    if (strcasecmp(words[i], value) == 0) return static_cast<int32_t>(i);
  return unknown;
}

template <size_t N>
Estring Word(const char* const (&words)[N], int32_t index) {
  return index >= 0 && static_cast<size_t>(index) < N ? Estring(words[index]) : Estring(words[0]);
}

// Colours: up to 18 numbers separated by single spaces; missing ones stay.
void StoreColours(const char* value) {
  const char* p = value;
  for (int i = 0; i < ColourClassCount && *p; ++i) {
    char* end = nullptr;
    const long number = strtol(p, &end, 10);
    if (end == p) break;
    g_colours[i] = static_cast<uint8_t>(number);
    p = end;
    while (*p == ' ') ++p;
  }
}

struct TArchiverDefault {
  const char *extract, *extractSwitch, *compress, *compressSwitch, *remove, *compressDir, *extractDir;
};
const TArchiverDefault kArchiverDefaults[ArchiverCount] = {
    {"unzip --z", "", "zip -r", "-@ < ", "zip -d", "!", "!/*"},
    {"rar x -std", "@", "rar a -std -r0", "@", "rar d -std -r", "!", "!"},
    {"lha x /s", "", "lha a /s /e", "", "lha d /s", "!/*", "!/*"},
    {"arj x", "!", "arj a -r", "!", "arj d", "!/*", "!/*"},
    {"unace x", "@", "unace a -r", "@", "unace d", "!", "!"},
    {"ha x", "", "ha ar", "", "ha d", "!/*", "!/*"},
    {"gzip -dc %a > %f", "", "gzip -c %f > %a", "", "", "", ""},
    {"tar -xf", "--files-from=", "tar -rf", "--files-from=", "tar --delete -f", "!", "!"},
    {"7z x", "@", "7z a", "@", "7z d", "!", "!"},
    {"bzip2 -dc %a > %f", "", "bzip2 -c %f > %a", "", "", "", ""},
};

}  // namespace

const TSettingRow* SettingRows() { return kRows; }
int SettingRowCount() { return kRowCount; }

const TSettingRow* FindSetting(const char* key) {
  for (const TSettingRow& row : kRows)
    if (strcasecmp(row.key, key) == 0) return &row;
  return nullptr;
}

void StoreSetting(const TSettingRow& row, const char* value) {
  void* v = row.variable;
  if (!v) return;
  switch (row.type) {
    case T::Narrow: *static_cast<Estring*>(v) = value; break;
    case T::Wide: *static_cast<Westring*>(v) = Westring(value); break;
    case T::Integer: *static_cast<int32_t*>(v) = atoi(value); break;
    case T::Flag: *static_cast<bool*>(v) = strcasecmp(value, "on") == 0; break;
    case T::Byte: *static_cast<char*>(v) = value[0]; break;
    case T::TimeMode: *static_cast<int32_t*>(v) = strcmp(value, "24") == 0 ? 24 : 12; break;
    case T::Sort: *static_cast<SortOrder*>(v) = SortOrder(WordIndex(kSortWords, value, 0)); break;
    case T::Style: *static_cast<PanelStyle*>(v) = PanelStyle(WordIndex(kStyleWords, value, 1)); break;
    case T::Type: *static_cast<PanelType*>(v) = PanelType(WordIndex(kTypeWords, value, 0)); break;
    case T::Colours: StoreColours(value); break;
    case T::None: break;
  }
}

Estring SettingText(const TSettingRow& row) {
  const void* v = row.variable;
  switch (row.type) {
    case T::Narrow: return *static_cast<const Estring*>(v);
    case T::Wide: return static_cast<const Westring*>(v)->ToUtf8();
    case T::Integer:
    case T::TimeMode: return Estring::FromInt(*static_cast<const int32_t*>(v));
    case T::Flag: return *static_cast<const bool*>(v) ? "on" : "off";
    case T::Byte: return Estring(1, *static_cast<const char*>(v));
    case T::Sort: return Word(kSortWords, static_cast<int32_t>(*static_cast<const SortOrder*>(v)));
    case T::Style: return Word(kStyleWords, static_cast<int32_t>(*static_cast<const PanelStyle*>(v)));
    case T::Type: return Word(kTypeWords, static_cast<int32_t>(*static_cast<const PanelType*>(v)));
    case T::Colours: {
      Estring text;
      for (uint8_t attr : g_colours) text += Estring::Format("%d ", attr);
      return text;
    }
    case T::None: break;
  }
  return Estring();
}

void ResetSettings() {
  TSettings defaults{};
  defaults.background = Westring("gnome-terminal -x ! &");
  defaults.briefWordRight = true;
  defaults.caseMod = "ll";
  defaults.caseModDirs = defaults.caseModFiles = true;
  defaults.cmdChar = '!';
  defaults.cmpMask = Westring("*");
  defaults.cmpTime = 1;
  defaults.cmpUnmatched = defaults.consoleScrollback = true;
  defaults.editor2 = Westring("editor");
  defaults.expandedTrees = defaults.ffRootSearch = defaults.ffRecurse = true;
  defaults.fontFamily = "DejaVu Sans Mono";
  defaults.fontSize = 12;
  defaults.fullScreen = defaults.keepExtVisible = true;
  defaults.indentWidth = 1;
  defaults.leftFilter = defaults.rightFilter = Westring("*");
  defaults.leftStyle = defaults.rightStyle = PanelStyle::Full;
  defaults.leftShowing = defaults.rightShowing = true;
  defaults.maxHist = 500;
  defaults.mouSpeed = 8;
  defaults.pathPrompt = defaults.pmClip = true;
  defaults.startupSide = 'L';
  defaults.stickyAlt = true;
  defaults.tabWidth = 8;
  defaults.timeMode = 12;
  defaults.viewer2 = Westring("pager");
  defaults.viewerWrap = true;
  g_settings = defaults;
  g_scrollDelay = 10;
  g_shadows = true;
  g_groupThousands = false;
  for (int i = 0; i < ColourClassCount; ++i) g_colours[i] = DefaultColours[i];
  for (int i = 0; i < ArchiverCount; ++i) {
    const TArchiverDefault& d = kArchiverDefaults[i];
    g_archivers[i] = {d.extract, d.extractSwitch, d.compress, d.compressSwitch, d.remove,
                      d.compressDir, d.extractDir, i == static_cast<int>(ArchiverKind::Tar)};
  }
  for (auto& store : g_patterns) store.Clear();
  g_environment.Clear();
}
