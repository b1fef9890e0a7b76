// Directory compare: the dialog, the pairing of the two panels' files by
// name and the byte comparison of a pair.
#include "fileops/CompareDirectories.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "config/Settings.h"
#include "console/Console.h"
#include "console/KeyCodes.h"
#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "dialogs/ProgressThread.h"
#include "foundation/StdFile.h"
#include "foundation/SysCalls.h"
#include "panels/Expression.h"
#include "panels/Panel.h"

namespace {

constexpr size_t kCompareBlock = 0x40000;
constexpr int kMaskWidth = 14;
constexpr int kMaskLength = 100;

bool IsComparedFile(const entry& e) { return !e.IsDirectory() && !e.IsUpDir(); }

bool MatchesMask(const TCompareRules& rules, const entry& e) {
  return EvaluateExpression(rules.mask.c_str(), e) == 1;
}

// Seconds, then nanoseconds: -1, 0 or 1.
int CompareTimes(const entry& x, const entry& y) {
  if (x.timeSec != y.timeSec) return x.timeSec < y.timeSec ? -1 : 1;
  if (x.timeNs != y.timeNs) return x.timeNs < y.timeNs ? -1 : 1;
  return 0;
}

// What a rule says of one order between X and Y (order < 0: X is the smaller).
void ApplyRule(int32_t rule, int order, bool* tagX, bool* tagY) {
  switch (rule) {
    case TCompareRules::Greater:
      *tagX = *tagX || order > 0;
      *tagY = *tagY || order < 0;
      break;
    case TCompareRules::Less:
      *tagX = *tagX || order < 0;
      *tagY = *tagY || order > 0;
      break;
    case TCompareRules::Different:
      *tagX = *tagX || order != 0;
      *tagY = *tagY || order != 0;
      break;
    default:
      break;
  }
}

int Order(int64_t x, int64_t y) { return x < y ? -1 : x > y ? 1 : 0; }

// The pair's flags: 0, or -1 when its contents could not be compared.
int DecidePair(CPanel& a, const entry& x, CPanel& b, const entry& y, const TCompareRules& rules, bool* tagX,
               bool* tagY) {
  *tagX = *tagY = false;
  ApplyRule(rules.date, CompareTimes(x, y), tagX, tagY);
  ApplyRule(rules.size, Order(x.size, y.size), tagX, tagY);
  if (!rules.contents || (*tagX && *tagY)) return 0;
  int differs = x.size != y.size ? 1 : CompareFileContents(a.PathOf(x.Name()), b.PathOf(y.Name()));
  if (differs < 0) return -1;
  if (differs == 1) *tagX = *tagY = true;
  return 0;
}

// Step one: no tags in A; in B every file that may stay without a
// counterpart, or none.
void StartTags(CPanel& a, CPanel& b, const TCompareRules& rules) {
  a.TagAll(TagMode::Untag, true);
  b.TagAll(TagMode::Untag, true);
  if (!rules.unmatched) return;
  for (int i = 0; i < b.Count(); ++i) {
    const entry& y = *b.At(i);
    if (IsComparedFile(y) && !IsDescriptionFile(y) && MatchesMask(rules, y)) b.Tag(i, TagMode::Tag);
  }
}

bool AskRules(TCompareRules* rules, bool offerContents) {
  Dialog dialog(-1, -3, 46, 14, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::Compare);
  dialog.DrawTitle(L" Directory Compare ");
  dialog.AddStaticText(1, 0, true, "Date/Time");
  int date = rules->date, size = rules->size;
  const char* const dates[] = {"_Ignore Date", "Tag _Newer", "Tag _Older", "Tag _Different"};
  const char* const sizes[] = {"Ignore Si_ze", "Tag _Larger", "Tag _Smaller", "Tag Di_fferent"};
  for (int i = 0; i < 4; ++i) dialog.AddRadioButton(1, 1 + i, i == 0, &date, i, dates[i]);
  dialog.AddStaticText(24, 0, true, "Size");
  for (int i = 0; i < 4; ++i) dialog.AddRadioButton(24, 1 + i, i == 0, &size, i, sizes[i]);
  uint8_t unmatched = rules->unmatched, contents = offerContents && rules->contents;
  dialog.AddCheckBox(1, 6, true, &unmatched, "Tag _Unmatched");
  if (offerContents) dialog.AddCheckBox(24, 6, true, &contents, "Compare _Contents");
  dialog.WriteHotKeyText(1, 8, L"Mask:", L"M", dialog.NormalColour());
  Westring mask = rules->mask;
  const int field = dialog.AddStringField(7, 8, true, &mask, kMaskWidth, kMaskLength);
  dialog.TakeHotKey(field, "_m");
  const TButtonSpec buttons[] = {{DialogResult::Ok, "OK"},
                                 {DialogResult::Cancel, "Cancel"},
                                 {static_cast<int>(Key::F1), "Help"},
                                 {0, nullptr}};
  dialog.SetDefaultButton(dialog.AddButtonRow(-1, -1, buttons));
  for (;;) {
    const int result = dialog.Run();
    if (result != DialogResult::Ok) return false;
    dialog.CommitAll();
    mask.Trim();
    if (mask.IsEmpty()) mask = L"*";
    if (IsValidExpression(mask.c_str())) break;
    MessageBox(L"Syntax error in expression", mask, MessageStyle::Ok);
  }
  rules->date = date;
  rules->size = size;
  rules->unmatched = unmatched != 0;
  rules->contents = contents != 0;
  rules->mask = mask;
  return true;
}

// A read of one block of each file; false (reported) on an error.
bool ReadBlock(StdFile& file, const Westring& name, char* buffer, size_t* got) {
  const int err = file.Read(buffer, kCompareBlock, got);
  if (err == 0 || err == -1) return true;
  MessageBox(name, Sys::ErrorText(err), MessageStyle::Ok);
  return false;
}

bool StopRequested() {
  if (g_console == nullptr || !g_console->KeyPending()) return false;
  (void)g_console->EscPressed();  // the key that stops is used up
  return true;
}

}  // namespace

int CompareFileContents(const Westring& a, const Westring& b) {
  StdFile fileA, fileB;
  for (auto [file, name] : {std::pair{&fileA, &a}, std::pair{&fileB, &b}}) {
    const int err = file->Open(*name, 0);
    if (err != 0) {
      MessageBox(*name, Sys::ErrorText(err), MessageStyle::Ok);
      return -1;
    }
  }
  std::atomic<int64_t> done{0}, total{0};
  struct stat info;
  if (stat(a.ToUtf8().c_str(), &info) == 0) total = info.st_size;
  FileReadProgress progress(&done, &total, Estring("Comparing ") + a.ToUtf8());
  std::unique_ptr<char[]> blockA(new char[kCompareBlock]), blockB(new char[kCompareBlock]);
  for (;;) {
    size_t gotA = 0, gotB = 0;
    if (!ReadBlock(fileA, a, blockA.get(), &gotA) || !ReadBlock(fileB, b, blockB.get(), &gotB)) return -1;
    if (gotA != gotB || std::memcmp(blockA.get(), blockB.get(), gotA) != 0) return 1;
    if (gotA == 0) return 0;
    done += static_cast<int64_t>(gotA);
    if (StopRequested()) return -1;
  }
}

int CompareDirectories(CPanel& a, CPanel& b, const TCompareRules& rules) {
  StartTags(a, b, rules);
  std::unordered_map<std::wstring, int> filesOfB;
  for (int i = 0; i < b.Count(); ++i) {
    if (IsComparedFile(*b.At(i))) filesOfB.emplace(b.At(i)->Name(), i);
  }
  for (int i = 0; i < a.Count(); ++i) {
    const entry& x = *a.At(i);
    if (!IsComparedFile(x) || std::wcscmp(x.Name(), L"descript.ion") == 0) continue;
    const auto counterpart = filesOfB.find(x.Name());
    if (counterpart == filesOfB.end()) {
      if (rules.unmatched && MatchesMask(rules, x)) a.Tag(i, TagMode::Tag);
      continue;
    }
    const int j = counterpart->second;
    const entry& y = *b.At(j);
    b.Tag(j, TagMode::Untag);
    bool tagX, tagY;
    if (DecidePair(a, x, b, y, rules, &tagX, &tagY) != 0) {
      a.TagAll(TagMode::Untag, true);
      b.TagAll(TagMode::Untag, true);
      return -1;
    }
    if (tagX && MatchesMask(rules, x)) a.Tag(i, TagMode::Tag);
    if (tagY && MatchesMask(rules, y)) b.Tag(j, TagMode::Tag);
  }
  return 0;
}

void RunCompareDirectories(CPanel& left, CPanel& right) {
  if (left.Type() != PanelType::Files || right.Type() != PanelType::Files) return;
  TCompareRules rules;
  rules.date = g_settings.cmpTime;
  rules.size = g_settings.cmpSize;
  rules.unmatched = g_settings.cmpUnmatched;
  rules.contents = g_settings.cmpContents;
  rules.mask = g_settings.cmpMask.IsEmpty() ? Westring(L"*") : g_settings.cmpMask;
  const bool offerContents = !left.InArchive() && !right.InArchive();
  if (!AskRules(&rules, offerContents)) return;
  g_settings.cmpTime = rules.date;
  g_settings.cmpSize = rules.size;
  g_settings.cmpUnmatched = rules.unmatched;
  if (offerContents) g_settings.cmpContents = rules.contents;
  g_settings.cmpMask = rules.mask;
  const int result = CompareDirectories(left, right, rules);
  left.MarkForRedraw();
  right.MarkForRedraw();
  if (result == 0 && left.TaggedCount() == 0 && right.TaggedCount() == 0)
    MessageBox(L"No files meet the specified conditions", Westring(), MessageStyle::Ok | MessageStyle::Messages);
}
