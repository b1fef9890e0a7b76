// Files loaded into the editor and saved back: every encoding, mark and
// line end byte for byte, the questions before overwriting, and the faults
// that must leave the file as it was.
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "editor/SaveAsDialog.h"
#include "foundation/SysCalls.h"
#include "tests/TempDirectory.h"
#include "tests/dialogs/DialogTestUtil.h"
#include "tests/editor/EditorTestUtil.h"
#include "viewer/ViewerSession.h"

using namespace editortest;
using namespace VKEditor;

namespace {

// UTF-8 text in another charset through iconv, independently of the editor.
std::string Convert(const std::string& utf8, const char* charset) {
  iconv_t cd = iconv_open(charset, "UTF-8");
  std::string out(utf8.size() * 4 + 8, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size(), outLeft = out.size();
  char* at = out.data();
  iconv(cd, &in, &inLeft, &at, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

struct TCharset {
  int encoding;
  const char* iconvName;
  const char* mark;
  int markSize;
  int codePage;
  const char* text;  // one line of what the charset can hold
};

const char kAllScripts[] = "ASCII café Ёжик 漢字 \xF0\x9F\x98\x80 end";
const TCharset kCharsets[] = {
    {EncodingUtf32Le, "UTF-32LE", "\xFF\xFE\0\0", 4, 0, kAllScripts},
    {EncodingUtf32Be, "UTF-32BE", "\0\0\xFE\xFF", 4, 0, kAllScripts},
    {EncodingUtf16Le, "UTF-16LE", "\xFF\xFE", 2, 0, kAllScripts},
    {EncodingUtf16Be, "UTF-16BE", "\xFE\xFF", 2, 0, kAllScripts},
    {EncodingUtf8, "UTF-8", "\xEF\xBB\xBF", 3, 0, kAllScripts},
    {EncodingCodePage, "CP1251", "", 0, 1251, "ASCII Ёжик end"},
    {EncodingCodePage, "CP1252", "", 0, 1252, "ASCII café end"},
};

struct EditorFileTest : dialogtest::ScreenTest {
  TTempDirectory dir{"vk-edfile"};
  CEditorText text;
  std::string Path(const char* leaf) { return dir / leaf; }
  Westring Name(const char* leaf) { return Westring::FromUtf8(Path(leaf).c_str()); }
};

TEST_F(EditorFileTest, EveryEncodingMarkAndLineEndSavesBackByteForByte) {
  int caseNumber = 0;
  for (const TCharset& charset : kCharsets) {
    for (const char* lineEnd : {"\n", "\r\n"})
      for (bool finalEnd : {false, true})
        for (bool mark : {false, true}) {
          if (mark && charset.markSize == 0) continue;
          const std::string body =
              std::string(charset.text) + lineEnd + "two" + lineEnd + charset.text;
          const std::string bytes = std::string(charset.mark, mark ? charset.markSize : 0) +
                                    Convert(finalEnd ? body + lineEnd : body, charset.iconvName);
          const std::string path = Path(("case" + std::to_string(++caseNumber)).c_str());
          WriteBytes(path, bytes);
          SCOPED_TRACE(std::string(charset.iconvName) + (mark ? " mark" : "") +
                       (lineEnd[0] == '\r' ? " CR LF" : " LF") + (finalEnd ? " final" : ""));
          ASSERT_TRUE(
              LoadFile(text, path, mark ? EncodingDetect : charset.encoding, charset.codePage));
          EXPECT_EQ(text.LineCount(), finalEnd ? 4 : 3);
          EXPECT_EQ(Lines(text).substr(0, strlen(charset.text)), charset.text);
          EXPECT_EQ(text.Format().lineEnds, lineEnd[0] == '\r' ? LineEndCrLf : LineEndLf);
          EXPECT_EQ(text.Format().byteOrderMark, mark);
          ASSERT_EQ(text.Save(text.FileName()), 0);
          EXPECT_EQ(ReadBytes(path), bytes);
        }
  }
  // The emoji is one character in memory whatever the encoding.
  WriteBytes(Path("emoji"), Convert("\xF0\x9F\x98\x80", "UTF-16LE"));
  ASSERT_TRUE(LoadFile(text, Path("emoji"), EncodingUtf16Le));
  EXPECT_EQ(text.LineLength(0), 1);
  EXPECT_EQ(static_cast<uint32_t>(text.LineText(0)[0]), 0x1F600u);
}

TEST_F(EditorFileTest, EdgeShapesOfFiles) {
  // Empty: one empty line, saved empty, or as the mark alone when chosen.
  WriteBytes(Path("empty"), "");
  ASSERT_TRUE(LoadFile(text, Path("empty")));
  EXPECT_EQ(text.LineCount(), 1);
  ASSERT_EQ(text.Save(Name("empty")), 0);
  EXPECT_EQ(ReadBytes(Path("empty")), "");
  TFileFormat marked = text.Format();
  marked.encoding = EncodingUtf16Be;
  marked.byteOrderMark = true;
  ASSERT_EQ(text.SaveAs(Name("empty"), marked), 0);
  EXPECT_EQ(ReadBytes(Path("empty")), "\xFE\xFF");

  // A new file is UTF-8 with LF line ends and exists once saved.
  text.StartNewFile(Name("new"));
  EXPECT_TRUE(text.Flags().newFile && text.Flags().modified);
  text.CurrentLine() = L"Ё";
  text.LineChanged();
  ASSERT_EQ(text.Save(text.FileName()), 0);
  EXPECT_EQ(ReadBytes(Path("new")), "\xD0\x81");
  EXPECT_FALSE(text.Flags().newFile || text.Flags().modified);

  // a LF b LF: three lines, the last empty. A start offset and a length
  // put the cursor on that byte and mark the characters.
  WriteBytes(Path("ab"), "a\nb\n");
  ASSERT_TRUE(LoadFile(text, Path("ab")));
  EXPECT_EQ(Lines(text), "a|b|");
  WriteBytes(Path("find"), "first\nsécond line\n");
  ASSERT_TRUE(LoadFile(text, Path("find"), EncodingDetect, 0, 12, 6));  // "d line"
  EXPECT_EQ(text.CursorPos(), (TTextPos{5, 1}));
  EXPECT_TRUE(text.Block().present && text.Block().end == (TTextPos{11, 1}));

  // More lines than the table first has room for: it grows.
  WriteBytes(Path("lines"), std::string(CEditorText::InitialLineRoom + 1, '\n'));
  ASSERT_TRUE(LoadFile(text, Path("lines")));
  EXPECT_EQ(text.LineCount(), CEditorText::InitialLineRoom + 2);

  // One huge line without a line end; a shorter text leaves no old bytes.
  const std::string huge(3 << 20, 'x');
  WriteBytes(Path("huge"), huge);
  ASSERT_TRUE(LoadFile(text, Path("huge")));
  EXPECT_EQ(text.LineCount(), 1);
  EXPECT_EQ(text.LineLength(0), 3 << 20);
  ASSERT_EQ(text.Save(Name("huge")), 0);
  EXPECT_EQ(ReadBytes(Path("huge")), huge);
  TTextPos end;
  ASSERT_EQ(text.DeleteRegion({{5, 0}, {3 << 20, 0}, true}), 0);
  ASSERT_EQ(text.InsertText({5, 0}, L"\r\nz", &end), 0);
  ASSERT_EQ(text.Save(Name("huge")), 0);
  EXPECT_EQ(ReadBytes(Path("huge")), "xxxxx\nz");  // no line end seen: LF
}

TEST_F(EditorFileTest, CodePageChangesConvertOrReload) {
  WriteBytes(Path("cp"), "\xC0\xE1\n");  // two Cyrillic letters in CP1251
  ASSERT_TRUE(LoadFile(text, Path("cp"), EncodingCodePage, 1251));
  EXPECT_EQ(Lines(text), "Аб|");
  text.ConvertCodePage(1251, 866);  // the same bytes read in CP866
  EXPECT_EQ(Lines(text), "└с|");
  EXPECT_TRUE(text.Flags().modified);

  TFileFormat format = text.Format();
  format.codePage = 1252;
  for (uint32_t answer : {uint32_t{Key::Esc}, uint32_t{Key::Enter}}) {
    dialogtest::TBoxWatcher box("File must be re-loaded, discard changes?", {answer});
    EXPECT_EQ(text.ReloadWithFormat(format), answer == Key::Enter);
    EXPECT_TRUE(box.seen);
  }
  EXPECT_EQ(Lines(text), "Àá|");
  EXPECT_FALSE(text.Flags().modified);
  EXPECT_EQ(text.Format().codePage, 1252);

  // A file opened afresh reads in the code page the viewer chose last.
  WriteBytes(Path("fresh"), "\xC0\xE1\n");
  ViewerSession().lastCodePage = 1251;
  const bool loaded = LoadFile(text, Path("fresh"));
  ViewerSession().lastCodePage = 0;
  ASSERT_TRUE(loaded);
  EXPECT_EQ(Lines(text), "Аб|");
  EXPECT_EQ(text.Format().codePage, 1251);
}

TEST_F(EditorFileTest, OverwritesInPlaceKeepingInodeLinksAndMode) {
  WriteBytes(Path("a"), "old text that is longer\n");
  ASSERT_EQ(link(Path("a").c_str(), Path("b").c_str()), 0);
  chmod(Path("a").c_str(), 0640);
  struct stat before {
  }, after{};
  stat(Path("a").c_str(), &before);
  ASSERT_TRUE(LoadFile(text, Path("a")));
  TTextPos end;
  ASSERT_EQ(text.DeleteRegion({{0, 0}, {23, 0}, true}), 0);
  ASSERT_EQ(text.InsertText({0, 0}, L"new", &end), 0);
  ASSERT_EQ(text.Save(text.FileName()), 0);
  stat(Path("a").c_str(), &after);
  EXPECT_EQ(ReadBytes(Path("b")), "new\n");
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_nlink, 2u);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
}

TEST_F(EditorFileTest, QuestionsBeforeOverwriting) {
  WriteBytes(Path("ro"), "keep\n");
  chmod(Path("ro").c_str(), 0444);
  ASSERT_TRUE(LoadFile(text, Path("ro")));
  EXPECT_TRUE(text.Flags().readOnly);
  text.CurrentLine() = L"changed";
  text.LineChanged();
  {
    dialogtest::TBoxWatcher box("File is Read Only, override?", {Key::Esc});
    EXPECT_EQ(text.Save(text.FileName()), -1);
    EXPECT_TRUE(box.seen);
  }
  EXPECT_EQ(ReadBytes(Path("ro")), "keep\n");
  {
    dialogtest::TBoxWatcher box("File is Read Only, override?", {'y'});
    EXPECT_EQ(text.Save(text.FileName()), 0);
  }
  EXPECT_EQ(ReadBytes(Path("ro")), "changed\n");
  struct stat info {};
  stat(Path("ro").c_str(), &info);
  EXPECT_EQ(info.st_mode & 07777, 0444u);

  // Another program wrote the file after it was loaded.
  WriteBytes(Path("mt"), "mine\n");
  ASSERT_TRUE(LoadFile(text, Path("mt")));
  TTimeValue later = TTimeValue::Now();
  later.seconds += 10;
  ASSERT_EQ(Sys::SetModificationTime(Name("mt"), later), 0);
  text.CurrentLine() = L"ours";
  text.LineChanged();
  for (uint32_t answer : {uint32_t{Key::Esc}, uint32_t{'y'}}) {
    dialogtest::TBoxWatcher box("File has been modified since it was loaded. Overwrite anyway?",
                                {answer});
    EXPECT_EQ(text.Save(text.FileName()), answer == 'y' ? 0 : -1);
    EXPECT_TRUE(box.seen);
    EXPECT_EQ(ReadBytes(Path("mt")), answer == 'y' ? "ours\n" : "mine\n");
  }
}

TEST_F(EditorFileTest, WriteErrorsLeaveTheBufferModified) {
  WriteBytes(Path("t"), "text\n");
  ASSERT_TRUE(LoadFile(text, Path("t")));
  text.Flags().modified = true;
  mkdir(Path("d").c_str(), 0755);
  {
    dialogtest::TBoxWatcher box("Error writing text file: Is a directory", {Key::Enter});
    EXPECT_EQ(text.Save(Name("d")), EISDIR);
    EXPECT_TRUE(box.seen);
  }
  {
    dialogtest::TBoxWatcher box("Unable to open: /nonexistent", {Key::Enter});
    EXPECT_EQ(text.SaveAs(L"/nonexistent/x", text.Format()), ENOENT);
    EXPECT_TRUE(box.seen);
  }
  EXPECT_TRUE(text.Flags().modified);
  EXPECT_EQ(text.FileName(), Name("t"));
}

TEST_F(EditorFileTest, SaveAsTakesNameAndFormatFromTheDialog) {
  WriteBytes(Path("src"), "h\xC3\xA9\n");
  ASSERT_TRUE(LoadFile(text, Path("src")));
  {
    dialogtest::TBoxWatcher box("Unable to open: /nonexistent/x", {Key::Enter, Key::Esc});
    dialogtest::PostKey(Key::AltN);
    dialogtest::PostText(L"/nonexistent/x");
    dialogtest::PostKey(Key::Enter);
    EXPECT_EQ(RunSaveAsDialog(text), -1);
    EXPECT_TRUE(box.seen);
  }
  dialogtest::PostKeys({Key::Alt6, Key::AltN});
  dialogtest::PostText(Name("out").c_str());
  dialogtest::PostKey(Key::Enter);
  EXPECT_EQ(RunSaveAsDialog(text), 0);
  EXPECT_EQ(ReadBytes(Path("out")), std::string("\xFF\xFEh\0\xE9\0\n\0", 8));
  EXPECT_EQ(text.FileName(), Name("out"));
  EXPECT_EQ(ReadBytes(Path("src")), "h\xC3\xA9\n");
}

// A text that needs more room than the file system or the process may have:
// the file keeps every old byte, the user hears why, the text stays modified.
void ExpectFullDiskHarmless(CEditorText& text, const std::string& path, const char* why) {
  const std::string old(2000, 'o');
  WriteBytes(path, old);
  ASSERT_TRUE(LoadFile(text, path));
  TTextPos end;
  ASSERT_EQ(text.InsertText({0, 0}, Westring(60000, L'n'), &end), 0);
  text.Flags().modified = true;
  dialogtest::TBoxWatcher box(why, {Key::Enter});
  EXPECT_NE(text.Save(text.FileName()), 0);
  EXPECT_TRUE(box.seen);
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_TRUE(text.Flags().modified);
}

TEST_F(EditorFileTest, FullDiskLeavesTheFileUntouched) {
  const std::string mountPoint = Path("small");
  mkdir(mountPoint.c_str(), 0755);
  if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=16k") == 0) {
    ExpectFullDiskHarmless(text, mountPoint + "/f",
                           "Error writing text file: No space left on device");
    {
      // Save As to a new name that does not fit leaves no empty file behind.
      dialogtest::TBoxWatcher box("Error writing text file:", {Key::Enter});
      EXPECT_NE(text.SaveAs(Westring::FromUtf8((mountPoint + "/new").c_str()), text.Format()), 0);
      EXPECT_TRUE(box.seen);
    }
    EXPECT_NE(access((mountPoint + "/new").c_str(), F_OK), 0);
    umount(mountPoint.c_str());
  }
  // The file size limit, here in this process, with the signal ignored so
  // that the write calls fail with EFBIG instead.
  struct rlimit saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 32768;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  ExpectFullDiskHarmless(text, Path("limited"), "Error writing text file: File too large");
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
}

TEST_F(EditorFileTest, ReadingProblemsAreReported) {
  mkdir(Path("dir").c_str(), 0755);
  {
    dialogtest::TBoxWatcher box("Is a directory", {Key::Enter});
    EXPECT_FALSE(LoadFile(text, Path("dir")));
    EXPECT_TRUE(box.seen) << dialogtest::ScreenRows();
  }
  EXPECT_EQ(text.LineCount(), 1);

  WriteBytes(Path("bad"), "o\xFF\nfine\n\xFE bad\n\x80");  // each met once
  {
    dialogtest::TBoxWatcher box("Warning: Invalid encoding found on 3 lines", {Key::Enter});
    EXPECT_TRUE(LoadFile(text, Path("bad"), EncodingUtf8));
    EXPECT_TRUE(box.seen) << dialogtest::ScreenRows();
  }

  // Esc stops the reading and keeps the lines read so far.
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "line\n";
  WriteBytes(Path("many"), many);
  dialogtest::PostKey(Key::Esc);
  EXPECT_TRUE(LoadFile(text, Path("many")));
  EXPECT_GT(text.LineCount(), 0);
  EXPECT_LT(text.LineCount(), 1000);
  // Saving that part over the file asks first; declining keeps the file whole.
  for (uint32_t answer : {uint32_t{Key::Esc}, uint32_t{'y'}}) {
    dialogtest::TBoxWatcher box("Only part of the file was loaded.", {answer});
    EXPECT_EQ(text.Save(text.FileName()), answer == 'y' ? 0 : -1);
    EXPECT_TRUE(box.seen);
    EXPECT_EQ(ReadBytes(Path("many")).size(), answer == 'y' ? 5u * text.LineCount() - 1 : many.size());
  }
}

}  // namespace
