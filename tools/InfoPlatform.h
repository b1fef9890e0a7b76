#pragma once
// What the information panel learns from the system about the file system
// of a directory: the mount from foundation's mount table, the label and
// serial number from the one Linux source for them, /dev/disk/by-label and
// by-uuid. The memory figures come from foundation/PlatformLinux.h.
#include <cstdint>
#include <string>

#include "foundation/Westring.h"

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

/// A /dev/disk name with its hexadecimal escapes (\x20 for a blank) decoded.
std::string DecodeHexEscapes(const std::string& name);
/// The serial number a file system's UUID stands for: its first eight hex
/// digits (the whole of a FAT volume's "ABCD-1234"); false without any.
bool SerialFromUuid(const std::string& uuid, uint32_t* serial);
