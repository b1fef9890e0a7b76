#include "tools/InfoPanel.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "archives/ArchiveEntry.h"
#include "config/Settings.h"
#include "console/Console.h"
#include "dialogs/Look.h"
#include "foundation/NumberFormat.h"
#include "foundation/PlatformLinux.h"
#include "foundation/StdFile.h"
#include "foundation/SysCalls.h"
#include "panels/Entry.h"
#include "panels/InfoHooks.h"
#include "panels/Panel.h"
#include "tools/InfoPlatform.h"

namespace {

constexpr wchar_t kRule = 0x2500;
constexpr int kDirInfoLineBytes = 500;

// Builds the rows one by one; rows past the panel's last are dropped.
class CInfoRows {
 public:
  CInfoRows(int width, int rows) : m_width(width), m_rows(rows, Westring().FitLeft(width)) {}
  int Count() const { return static_cast<int>(m_rows.size()); }
  bool Fits(int row) const { return row >= 1 && row <= Count(); }
  /// Row counts from 1.
  void Put(int row, const Westring& text) {
    if (Fits(row)) m_rows[row - 1] = text.Length() > m_width ? text.Left(m_width) : text.FitLeft(m_width);
  }
  void Centre(int row, const Westring& text) { Put(row, Westring(std::max(0, (m_width - text.Length()) / 2), L' ') + text); }
  void Rule(int row) { Put(row, Westring(m_width, kRule)); }
  /// A number ending at column n + 12 and its label after it.
  void Figure(int row, int64_t value, const wchar_t* label) {
    const int n = std::max(0, std::min(m_width - 38, 13));
    Put(row, L" " + FormatSizeAsShown(value, n + 11) + label);
  }
  std::vector<Westring> Take() { return std::move(m_rows); }

 private:
  int m_width;
  std::vector<Westring> m_rows;
};

Westring Shortened(const Westring& text, int width) {
  if (text.Length() <= width) return text;
  if (width <= 3) return text.Right(std::max(0, width));
  return L"..." + text.Right(width - 3);
}

// Lines that share one left margin: the smallest that centres any of them.
int PutCentredBlock(CInfoRows* rows, int row, const std::vector<Westring>& lines, int width) {
  int margin = width;
  for (const Westring& line : lines) margin = std::min(margin, std::max(0, (width - line.Length()) / 2));
  for (const Westring& line : lines) rows->Put(row++, Westring(margin, L' ') + line);
  return row;
}

Westring FilesSentence(const TInfoFigures& f) {
  wchar_t count[32];
  std::swprintf(count, 32, L"%d", f.fileCount);
  Westring bytes = FormatSizeAsShown(f.filesBytes, 18);
  bytes.TrimLeft();
  return Westring(count) + (f.fileCount == 1 ? L" file uses " : L" files use ") + bytes + L" bytes in";
}

// Rows 8 on for a directory on disk; returns the row after the path.
int PutDiskFigures(CInfoRows* rows, const TInfoFigures& f, int width) {
  rows->Figure(8, f.totalBytes, L" total bytes");
  rows->Figure(9, f.freeBytes, L" bytes free");
  rows->Centre(10, FilesSentence(f));
  rows->Centre(11, Shortened(f.directory, width - 2));
  std::vector<Westring> block;
  if (!f.label.IsEmpty()) block.push_back(L"Label       : " + f.label);
  else block.push_back(L"Mount Point : " + f.mountPoint);
  if (!f.fsType.IsEmpty()) block.push_back(L"File System : " + f.fsType);
  if (f.hasSerial) {
    wchar_t serial[32];
    std::swprintf(serial, 32, L"Serial No   : %X", f.serial);
    block.push_back(serial);
  }
  return PutCentredBlock(rows, 13, block, width);
}

int PutArchiveFigures(CInfoRows* rows, const TInfoFigures& f, int width) {
  int row = 8;
  if (f.uncompressed >= 0) {
    rows->Figure(row++, f.uncompressed, L" total uncompressed");
    rows->Figure(row++, f.compressed, L" total compressed");
    wchar_t ratio[32];
    if (f.uncompressed == 0) std::swprintf(ratio, 32, L"0%%");
    else std::swprintf(ratio, 32, L"%.1f%%", ((f.uncompressed - f.compressed) * 1000 / f.uncompressed) / 10.0);
    rows->Put(row++, Westring(ratio).FitRight(std::max(0, std::min(width - 38, 13)) + 12) + L" total compression");
  } else {
    rows->Figure(row++, f.compressed, L" total compressed");
  }
  rows->Centre(row++, Shortened(f.directory, width - 2));
  const std::vector<Westring> block = {L"Archive : " + Shortened(f.archiveName, 25), L"Type    : " + f.archiveType};
  return PutCentredBlock(rows, row + 1, block, width);
}

}  // namespace

int64_t SpaceInBlocks(const std::vector<int64_t>& sizes, int64_t blockSize) {
  if (blockSize <= 0) blockSize = 1;
  int64_t total = 0;
  for (int64_t size : sizes) total += size <= 0 ? blockSize : (size + blockSize - 1) / blockSize * blockSize;
  return total;
}

std::vector<Westring> InfoPanelRows(const TInfoFigures& f, const std::vector<Westring>& dirInfo, int width, int rows) {
  CInfoRows out(width, rows);
  out.Rule(4);
  if (f.totalMemory >= 0) out.Figure(5, f.totalMemory, L" total physical memory");
  if (f.freeMemory >= 0) out.Figure(6, f.freeMemory, L" free physical memory");
  if (f.readError != 0) {
    out.Put(7, Sys::ErrorText(f.readError));
    return out.Take();
  }
  int row;
  if (f.inArchive) {
    row = PutArchiveFigures(&out, f, width);
  } else if (f.diskError != 0) {
    out.Put(9, L"Cannot read drive");
    return out.Take();
  } else {
    row = PutDiskFigures(&out, f, width);
  }
  if (!out.Fits(row)) return out.Take();
  // The rule carries the heading when there is a description to show.
  if (dirInfo.empty()) {
    out.Rule(row);
  } else {
    const Westring heading(L" Dir Info ");
    const int left = std::max(0, (width - heading.Length()) / 2);
    Westring line(width, kRule);
    for (int i = 0; i < heading.Length() && left + i < width; ++i) line[left + i] = heading[i];
    out.Put(row, line);
  }
  for (const Westring& text : dirInfo) out.Put(++row, text);
  return out.Take();
}

Westring DirInfoPath(const Westring& directory) {
  Westring path = directory;
  path.AddTrailingSlash();
  return path + L"dirinfo";
}

std::vector<Westring> ReadDirInfo(const Westring& path, int maxLines) {
  std::vector<Westring> lines;
  StdFile file;
  if (file.Open(path, 0) != 0) return lines;
  char buffer[kDirInfoLineBytes + 1];
  while (static_cast<int>(lines.size()) < maxLines && file.ReadLine(buffer, sizeof buffer) == 0) {
    const Estring expanded = Estring(buffer).ExpandTabs(g_settings.tabWidth);
    lines.push_back(Westring::FromUtf8(expanded.c_str()));
  }
  return lines;
}

TInfoFigures GatherInfoFigures(const CPanel& source) {
  TInfoFigures f;
  f.readError = source.ReadError();
  f.directory = source.Directory();
  Platform::TMemoryFigures memory;
  if (Platform::ReadMemoryFigures(&memory) == 0) {
    f.totalMemory = static_cast<int64_t>(memory.totalBytes);
    f.freeMemory = static_cast<int64_t>(memory.freeBytes);
  }
  if (source.InArchive()) {
    f.inArchive = true;
    const Westring& archive = source.Archive()->ArchivePath();
    f.archiveName = archive.NamePart();
    f.archiveType = Westring(ArchiveFormatName(source.Archive()->Format()));
    source.Archive()->Totals(&f.uncompressed, &f.compressed);
    // Without the members' packed sizes the archive file's own size is
    // what is known of the compressed total.
    struct stat status {};
    if (f.compressed < 0) f.compressed = stat(archive.ToUtf8().c_str(), &status) == 0 ? status.st_size : 0;
    return f;
  }
  TDiskSpace space;
  f.diskError = Sys::GetDiskSpace(source.Directory(), &space);
  if (f.diskError != 0) return f;
  f.totalBytes = static_cast<int64_t>(space.totalBytes);
  f.freeBytes = static_cast<int64_t>(space.availableBytes);
  std::vector<int64_t> sizes;
  for (int i = 0; i < source.Count(); ++i) {
    const entry* e = source.At(i);
    if (!e->IsDirectory() && !e->IsUpDir()) sizes.push_back(e->size);
  }
  f.fileCount = static_cast<int32_t>(sizes.size());
  f.filesBytes = SpaceInBlocks(sizes, static_cast<int64_t>(space.fragmentSize));
  TVolumeFacts volume;
  if (ReadVolumeFacts(source.Directory(), &volume) == 0) {
    f.mountPoint = volume.mountPoint;
    f.label = volume.label;
    f.fsType = volume.fsType;
    f.hasSerial = volume.hasSerial;
    f.serial = volume.serial;
  }
  return f;
}

namespace {

void DrawInfoPanel(const CPanel& info, const CPanel& source) {
  const TPanelGeometry& g = info.Geometry();
  const int rows = g.bottomRow() - g.fileTop();
  const TInfoFigures figures = GatherInfoFigures(source);
  const std::vector<Westring> dirInfo =
      figures.inArchive || figures.readError != 0 ? std::vector<Westring>() : ReadDirInfo(DirInfoPath(figures.directory), rows);
  const std::vector<Westring> lines = InfoPanelRows(figures, dirInfo, g.innerWidth, rows);
  const uint8_t attr = Colour(ColourClass::Panel);
  for (int i = 0; i < static_cast<int>(lines.size()); ++i)
    g_console->WriteText(g.left + 1, g.fileTop() + i, lines[i].c_str(), attr);
}

}  // namespace

void InstallInfoPanel() { g_infoHooks.draw = DrawInfoPanel; }
