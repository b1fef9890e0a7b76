#pragma once
// What the information panel learns from the system about memory and the
// file system of a directory; the one place that reads the Linux sources
// (sysinfo, /proc/self/mountinfo, /dev/disk/by-label and by-uuid).
#include <cstdint>
#include <string>

#include "foundation/Westring.h"

/// The machine's physical memory in bytes.
struct TMemoryFigures {
  int64_t total = 0;
  int64_t free = 0;
};
/// 0, or errno when the system does not say.
int ReadMemoryFigures(TMemoryFigures* figures);

/// Where a directory's file system is mounted and what the system knows of it.
struct TVolumeFacts {
  Westring mountPoint;
  Westring fsType;
  Westring label;  // empty when the file system has none
  bool hasSerial = false;
  uint32_t serial = 0;
};
/// 0, or errno when the directory or the mount table cannot be read.
int ReadVolumeFacts(const Westring& directory, TVolumeFacts* facts);

/// One line of /proc/self/mountinfo, escapes decoded.
struct TMountInfoLine {
  unsigned major = 0, minor = 0;
  std::string mountPoint, fsType, source;
};
/// False for a line that does not have the mountinfo shape.
bool ParseMountInfoLine(const std::string& line, TMountInfoLine* parsed);
/// A mountinfo field with its octal escapes (\040 for a blank) decoded.
std::string DecodeOctalEscapes(const std::string& field);
/// A /dev/disk name with its hexadecimal escapes (\x20 for a blank) decoded.
std::string DecodeHexEscapes(const std::string& name);
/// The serial number a file system's UUID stands for: its first eight hex
/// digits (the whole of a FAT volume's "ABCD-1234"); false without any.
bool SerialFromUuid(const std::string& uuid, uint32_t* serial);
