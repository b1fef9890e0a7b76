#pragma once
// The information panel: what the other panel's directory is on (memory,
// file-system size and free space, the files' share, mount point, label,
// type and serial number, or an archive's sizes) and the directory's
// "dirinfo" file. Application thread.
#include <cstdint>
#include <vector>

#include "foundation/Westring.h"

class CPanel;

/// Everything the panel shows; figures that are not known stay below 0.
struct TInfoFigures {
  int readError = 0;  // the source panel's error for its directory
  int64_t totalMemory = -1, freeMemory = -1;
  bool inArchive = false;
  // On disk.
  int diskError = 0;
  int64_t totalBytes = 0, freeBytes = 0;
  int32_t fileCount = 0;
  int64_t filesBytes = 0;  // each file rounded up to whole blocks
  Westring mountPoint, label, fsType;
  bool hasSerial = false;
  uint32_t serial = 0;
  // Inside an archive.
  int64_t uncompressed = -1, compressed = -1;
  Westring archiveName, archiveType;
  Westring directory;
};

/// What files of these sizes occupy in blocks of blockSize: each size
/// rounded up to whole blocks, an empty file one block.
int64_t SpaceInBlocks(const std::vector<int64_t>& sizes, int64_t blockSize);

/// The rows inside the panel's frame (rows of width cells each, from the
/// top), the "dirinfo" lines (tabs already expanded) below the figures.
std::vector<Westring> InfoPanelRows(const TInfoFigures& figures, const std::vector<Westring>& dirInfo, int width,
                                    int rows);

/// The figures of the source panel's directory, asked of the system now.
TInfoFigures GatherInfoFigures(const CPanel& source);
/// The lines of a "dirinfo" file: each read up to 500 bytes, tabs expanded
/// to the TabWidth setting; at most maxLines; none when there is no file.
std::vector<Westring> ReadDirInfo(const Westring& path, int maxLines);
/// The description file of a directory.
Westring DirInfoPath(const Westring& directory);

/// Puts the drawing of information panels behind the panels' hook.
void InstallInfoPanel();
