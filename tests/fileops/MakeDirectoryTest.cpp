// F7 and Shift+Ctrl+F5 from a panel: the directory made, the cursor on it and
// the answers to a name that exists; links to absolute paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/Settings.h"
#include "fileops/MakeDirectory.h"
#include "fileops/MakeLinks.h"
#include "foundation/SysCalls.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/panels/PanelTestUtil.h"

using namespace dialogtest;
namespace fs = std::filesystem;

TEST(MakeDirectory, NamesCaseCursorAndExistingNames) {
  ResetScreen();
  TTempDirectory dir("vk-mkdir"), far("vk-mkdir-other");
  std::ofstream(dir / "file") << "x";
  CPanel active(PanelSide::Left), other(PanelSide::Right);
  paneltest::ReadInto(active, dir.Path());
  paneltest::ReadInto(other, far.Path());
  auto make = [&](const wchar_t* typed, const char* box = "no box") {
    TBoxWatcher watcher(box, {Key::Enter});
    PostText(typed);
    PostKey(Key::Enter);
    RunMakeDirectoryCommand(active, other);
    return watcher.seen;
  };
  make(L"  new one \u00ff  ");
  EXPECT_TRUE(fs::is_directory(dir / "new one \xc3\xbf"))
      << "trimmed; blanks inside and UTF-8 bytes kept";
  make(L"new one \u00ff/deeper");
  EXPECT_STREQ(active.CursorEntry()->Name(), L"new one \u00ff") << "on the first component";
  EXPECT_TRUE(other.RereadPending());
  EXPECT_TRUE(make(L"gone/child", "File not found")) << "parents are not made";
  EXPECT_TRUE(make(L"file", "File already exists named"));
  EXPECT_TRUE(make(L"new one \u00ff", "Directory already exists"));

  g_settings.caseFilter = L"vfat " + Sys::FileSystemType(Westring(dir.Path().c_str()));
  make(L"Mixed");
  g_settings.caseFilter = Westring();
  EXPECT_TRUE(fs::is_directory(dir / "MIXED")) << "upper case on a case-filter file system";
  active.SetType(PanelType::Info);
  make(L"there");
  EXPECT_STREQ(other.CursorEntry()->Name(), L"there") << "the other panel's directory";
}

TEST(MakeLinks, TaggedIntoADirectoryAndOneAtATypedName) {
  ResetScreen();
  TTempDirectory from("vk-links-from"), to("vk-links-to");
  for (const char* name : {"a", "b c", "d\xff"}) std::ofstream(from / name) << name;
  std::ofstream(to / "f") << "f";
  CPanel active(PanelSide::Left), other(PanelSide::Right);
  paneltest::ReadInto(active, from.Path());
  paneltest::ReadInto(other, to.Path());
  active.TagAll(TagMode::Tag, false);
  {
    // Into a file: refused, and the dialog comes back with the text kept.
    TBoxWatcher box("Destination must be a valid directory",
                    {Key::Enter, Key::End, Key::BackSpace, Key::BackSpace, Key::Enter});
    PostKeys({Key::End, L'/', L'f', Key::Enter});
    RunMakeLinksCommand(active, other);
    EXPECT_TRUE(box.seen);
  }
  for (const char* name : {"a", "b c", "d\xff"})
    EXPECT_EQ(fs::read_symlink(to / name).string(), from / name) << "absolute, the names' bytes";
  active.TagAll(TagMode::Untag, false);
  ASSERT_TRUE(active.PutCursorOn(L"b c"));
  PostText(L"new\r");  // replaces the field's text; relative to the active panel's directory
  RunMakeLinksCommand(active, other);
  EXPECT_EQ(fs::read_symlink(from / "new").string(), from / "b c");
}
