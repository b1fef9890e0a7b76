#pragma once
// The user's settings: plain process-wide values that the parts read
// directly, filled from vk.ini at start-up. The colour scheme, shadows and
// scroll delay live with the dialog toolkit (dialogs/Look.h), the thousands
// grouping with the number formatting (foundation/NumberFormat.h).
// Application thread.
#include <cstdint>

#include "foundation/Estring.h"
#include "foundation/ObjectStore.h"
#include "foundation/Westring.h"

enum class SortOrder : int32_t { Name, Extension, Time, Size, Unsorted, RName, RExtension, RTime, RSize, RUnsorted };
enum class PanelStyle : int32_t { Brief, Full, Wide, BriefWide, Unix };
enum class PanelType : int32_t { Files, Info };

struct TSettings {
  bool autoIndent, autoSave, briefWordRight, caseModRecurse, caseModDirs, caseModFiles, clock;
  bool cmpContents, cmpUnmatched, consoleScrollback, ctrlRDriveChng, disableInvert, escPanelSwitch;
  bool expandedTrees, ffRootSearch, ffRecurse, ffCase, ffWholeWord, ffMultiDrive, fullScreen, hidden;
  bool keepExtVisible, leftShowing, rightShowing, numLock, overStrike, pathPrompt, pmClip;
  bool retainCount, sizeCountPause, stickyAlt, tagDirs, viewerWrap, waitDos;
  Westring background, caseFilter, cmpMask, editor, editor2, left, right, leftFilter, rightFilter;
  Westring pathAppend, treeDir, viewer, viewer2;
  Estring caseMod, ffDriveList, fontFamily, translateCp;
  int32_t cmpSize, cmpTime, codePage, confirmations, fontSize, indentWidth, lines, columns;
  int32_t maxHist, mouSpeed, saver, tabWidth, textCodePage, timeMode;
  char cmdChar, startupSide;
  SortOrder leftSort, rightSort;
  PanelStyle leftStyle, rightStyle;
  PanelType leftType, rightType;
  /// The directory slots d0..d9.
  Westring directories[10];
};
extern TSettings g_settings;

/// Bits of the Confirmations setting: a set bit means the question is not asked.
namespace ConfirmBit {
constexpr int32_t DeleteFile = 1 << 0;           // "Delete File/Empty Directory"
constexpr int32_t DeleteTagged = 1 << 1;         // "Delete Tagged Files"
constexpr int32_t DeleteNonEmptyDir = 1 << 2;    // "Delete Non-empty Directory"
constexpr int32_t Quit = 1 << 3;                 // "Quit Varnak"
constexpr int32_t YesForNonEmptyDir = 1 << 4;    // the "YES" prompt for a non-empty directory
constexpr int Count = 5;
}  // namespace ConfirmBit
/// Whether the question of a ConfirmBit is asked.
inline bool AsksConfirmation(int32_t bit) { return (g_settings.confirmations & bit) == 0; }

/// One external archiver's command templates.
struct TArchiverRecord {
  Estring extract, extractListfileSwitch, compress, compressListfileSwitch, remove;
  Estring compressDirSpec, extractDirSpec;
  bool isTar = false;
};
/// The archivers in section order, which is also their index in g_archivers.
enum class ArchiverKind : int { Zip, Rar, Lharc, Arj, Ace, Ha, Gzip, Tar, SevenZip, Bzip2 };
constexpr int ArchiverCount = 10;
extern TArchiverRecord g_archivers[ArchiverCount];

/// A pattern section's entry (pattern ":" command or colour), or an
/// environment variable (name "=" value).
struct TAssociation {
  Westring pattern;
  Westring command;
};
/// The five pattern sections in file order: associations, viewer and editor
/// associations, colours, directory colours.
constexpr int PatternSectionCount = 5;
extern TObjectStore<TAssociation> g_patterns[PatternSectionCount];
/// The [Environment] section.
extern TObjectStore<TAssociation> g_environment;

/// Every setting takes its default value.
void ResetSettings();

/// The value types of the [General Options] table.
enum class SettingType { Narrow, Wide, Integer, Flag, Byte, TimeMode, Sort, Style, Type, Colours, None };
struct TSettingRow {
  const char* key;
  SettingType type;
  void* variable;  // null for keys accepted without effect
};
/// The table in its fixed order.
const TSettingRow* SettingRows();
int SettingRowCount();
/// The row for a key (any case), or null.
const TSettingRow* FindSetting(const char* key);
/// Stores a value read from vk.ini by the row's type.
void StoreSetting(const TSettingRow& row, const char* value);
/// The value as vk.ini writes it.
Estring SettingText(const TSettingRow& row);
