#include "tools/MultiReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "dialogs/Dialog.h"
#include "dialogs/HelpTopics.h"
#include "dialogs/Look.h"
#include "dialogs/MessageBox.h"
#include "editor/Editor.h"
#include "editor/TextFileWriter.h"
#include "foundation/SysCalls.h"
#include "viewer/TextEncoding.h"
#include "viewer/ViewTextFile.h"

namespace {

// The text before each occurrence is copied in pieces of this size.
constexpr size_t kCopyPiece = 4096;
constexpr int kDialogWidth = 60;
constexpr int kDialogHeight = 8;
constexpr int kFieldWidth = 56;
constexpr int kFieldMaxLength = 256;
constexpr int kThirdDown = -3;
constexpr int kProgressWidth = 60;

using TMatch = std::pair<int64_t, int64_t>;  // byte offsets [start, end)

void PutUnit(std::string* out, uint32_t unit, int size, bool bigEndian) {
  for (int i = 0; i < size; ++i) {
    const int shift = bigEndian ? (size - 1 - i) * 8 : i * 8;
    *out += static_cast<char>((unit >> shift) & 0xFF);
  }
}

// The replacement in the bytes of the file's encoding, as the editor writes
// them; a std::string, since UTF-16 and UTF-32 hold zero bytes.
std::string EncodeReplacement(const Westring& text, const ViewTextFile& file) {
  const int encoding = file.Encoding();
  if (encoding == EncodingUtf8) {
    const Estring utf8 = text.ToUtf8();
    return std::string(utf8.c_str(), static_cast<size_t>(utf8.Length()));
  }
  std::string out;
  if (encoding == EncodingCodePage) {
    const VKEditor::TCodePageTable table(file.EffectiveCodePage());
    for (int i = 0; i < text.Length(); ++i) out += static_cast<char>(table.Byte(text[i]));
    return out;
  }
  const bool bigEndian = IsBigEndianEncoding(encoding);
  const int unitSize = EncodingUnitSize(encoding);
  for (int i = 0; i < text.Length(); ++i) {
    const uint32_t ch = static_cast<uint32_t>(text[i]);
    if (unitSize == 2 && ch > 0xFFFF) {
      PutUnit(&out, 0xD800 + ((ch - 0x10000) >> 10), 2, bigEndian);
      PutUnit(&out, 0xDC00 + ((ch - 0x10000) & 0x3FF), 2, bigEndian);
    } else {
      PutUnit(&out, ch, unitSize, bigEndian);
    }
  }
  return out;
}

int WriteAll(int fd, const void* data, size_t count) {
  const char* from = static_cast<const char*>(data);
  while (count > 0) {
    const ssize_t n = write(fd, from, count);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    from += n;
    count -= static_cast<size_t>(n);
  }
  return 0;
}

// Copies [from, to) of the source to the temporary file in small pieces.
int CopyRange(int source, int target, int64_t from, int64_t to) {
  char piece[kCopyPiece];
  while (from < to) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(to - from, kCopyPiece));
    const ssize_t got = pread(source, piece, want, from);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return errno;
    if (got == 0) return EIO;  // the file became shorter while it was copied
    if (int err = WriteAll(target, piece, static_cast<size_t>(got))) return err;
    from += got;
  }
  return 0;
}

// Room for the whole result before the first byte is written: a full disk
// or a size limit shows here and leaves nothing half-written.
int ReserveRoom(int fd, int64_t length) {
  if (length <= 0) return 0;
  const int err = posix_fallocate(fd, 0, length);
  return err == EOPNOTSUPP || err == EINVAL ? 0 : err;
}

int WriteReplaced(int source, int target, const std::vector<TMatch>& matches, const std::string& with,
                  int64_t fileSize) {
  int64_t copied = 0;
  for (const TMatch& match : matches) {
    if (int err = CopyRange(source, target, copied, match.first)) return err;
    if (int err = WriteAll(target, with.data(), with.size())) return err;
    copied = match.second;
  }
  if (int err = CopyRange(source, target, copied, fileSize)) return err;
  return fsync(target) != 0 ? errno : 0;
}

}  // namespace

int ReplaceInFile(const Westring& path, const TReplaceRequest& request, int* replaced) {
  *replaced = 0;
  if (request.search.IsEmpty()) return 0;
  ViewTextFile file;
  if (int err = file.Open(path, EncodingDetect, request.codePage)) return err;
  std::vector<TMatch> matches;
  for (int64_t from = file.DataStart();;) {
    const int64_t at = file.Search(request.search, from, request.caseSensitive, request.wholeWord, false);
    if (at < 0) break;
    matches.emplace_back(at, file.MatchEnd());
    from = file.MatchEnd();
  }
  if (matches.empty()) return 0;  // the file is left as it is, times and all

  // A link found by the search has its target rewritten; the link stays.
  Estring name = path.ToUtf8();
  if (char* target = realpath(name.c_str(), nullptr)) {
    name = Estring(target);
    free(target);
  }
  const int source = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return errno;
  struct stat status;
  if (fstat(source, &status) != 0) {
    const int err = errno;
    close(source);
    return err;
  }
  const std::string with = EncodeReplacement(request.replacement, file);
  int64_t resultSize = status.st_size;
  for (const TMatch& match : matches) resultSize += static_cast<int64_t>(with.size()) - (match.second - match.first);

  Estring tempName = name;
  tempName += kReplaceTempSuffix;
  const int target = open(tempName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, status.st_mode & 07777);
  if (target < 0) {
    const int err = errno;
    close(source);
    return err;
  }
  int err = ReserveRoom(target, resultSize);
  if (err == 0) err = WriteReplaced(source, target, matches, with, status.st_size);
  // The owner follows where the system allows it; a user cannot give a file
  // away, and the copy is then the user's own.
  if (err == 0 && fchown(target, status.st_uid, status.st_gid) != 0 && errno != EPERM) err = errno;
  if (err == 0 && fchmod(target, status.st_mode & 07777) != 0) err = errno;
  if (close(target) != 0 && err == 0) err = errno;
  close(source);
  if (err == 0 && rename(tempName.c_str(), name.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(tempName.c_str());
    return err;
  }
  *replaced = static_cast<int>(matches.size());
  return 0;
}

namespace {

bool AskReplacement(Westring* replacement) {
  Dialog dialog(-1, kThirdDown, kDialogWidth, kDialogHeight, Colour(ColourClass::Messages));
  dialog.SetHelpTopic(HelpTopic::MultiReplace);
  dialog.DrawTitle(Westring(" Multi-file search & replace "));
  dialog.WriteText(1, 1, "Replace with:", dialog.NormalColour());
  dialog.AddStringField(1, 2, true, replacement, kFieldWidth, kFieldMaxLength, VKEditor::EditorReplaceHistory);
  dialog.AddOkCancel(-1, -1);
  if (dialog.Run() != DialogResult::Ok) return false;
  dialog.CommitAll();
  return true;
}

bool ConfirmReplace(const TReplaceRequest& request, int files) {
  char count[64];
  std::snprintf(count, sizeof count, "in %d file%s", files, files == 1 ? "" : "s");
  const Westring text = Westring("Are you sure you want to replace\n") + request.search + L"\nwith\n" +
                        request.replacement + L"\n" + Westring(count);
  return MessageBox(text, Westring(), MessageStyle::OkCancel | MessageStyle::Messages) == 'y';
}

}  // namespace

void RunMultiReplace(const std::vector<Westring>& paths, const TReplaceRequest& search) {
  TReplaceRequest request = search;
  if (!AskReplacement(&request.replacement)) return;
  if (!ConfirmReplace(request, static_cast<int>(paths.size()))) return;
  int occurrences = 0, files = 0;
  {
    Win progress(-1, kThirdDown, kProgressWidth, 4, Colour(ColourClass::Messages), Colour(ColourClass::Messages));
    progress.DrawTitle(Westring(" Search & Replace "));
    progress.WriteText(1, 0, "Processing");
    for (const Westring& path : paths) {
      progress.WriteText(1, 1, path.FitLeft(progress.Width() - 2).c_str());
      int replaced = 0;
      if (int err = ReplaceInFile(path, request, &replaced)) {
        progress.Hide();
        MessageBox(Sys::ErrorText(err), path, MessageStyle::Ok);
        break;
      }
      occurrences += replaced;
      if (replaced > 0) ++files;
    }
  }
  char summary[96];
  std::snprintf(summary, sizeof summary, "Replaced %d occurances in %d files", occurrences, files);
  MessageBox(Westring(summary), Westring(), MessageStyle::Ok | MessageStyle::Messages);
}
