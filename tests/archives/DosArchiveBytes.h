#pragma once
// What the RAR, LHA, ARJ, ACE and HA tests share: archives written byte by
// byte, opened quietly as one format, and their levels as the panel lists them.
#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <string>

#include "archives/ArchiveReader.h"
#include "tests/TempDirectory.h"

/// A header field: value as width little-endian bytes.
inline std::string Le(uint64_t value, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes += static_cast<char>(value >> 8 * i);
  return bytes;
}

inline std::string Patched(std::string bytes, size_t offset, uint64_t value, int width) {
  return bytes.replace(offset, static_cast<size_t>(width), Le(value, width));
}

/// An "MZ" executable's stub of prefix bytes before the archive; an ARJ
/// header id in it that no archive could start with.
inline std::string Prefixed(size_t prefix, const std::string& archive) {
  return prefix == 0 ? archive : "MZ" + std::string(prefix, '\x90') + "\x60\xEA\xFF\xFF" + archive;
}

/// Writes bytes into dir and opens them as format alone: the format found, or ArchiveNone.
inline int OpenBytes(ArchiveReader& reader, const TTempDirectory& dir, const std::string& bytes,
                     int format) {
  std::ofstream(dir / "archive", std::ios::binary) << bytes;
  reader.SetQuiet(true);
  return reader.OpenAs(Westring::FromUtf8((dir / "archive").c_str()), format);
}

/// One level as "name:size" for a member (with attributes "name:size:attributes")
/// and "name/" for a directory, comma-separated in listing order.
inline std::string Level(const ArchiveReader& reader, const char* directory = "",
                         bool attributes = false) {
  std::string text;
  reader.List(Westring::FromUtf8(directory), [&](const TListedMember& member) {
    text += (text.empty() ? "" : ",") +
            std::string(Westring(member.name).Left(member.nameLength).ToUtf8().c_str());
    text += member.directory ? "/" : ":" + std::to_string(member.size);
    if (attributes && !member.directory) text += ":" + std::to_string(member.attributes);
    return true;
  });
  return text;
}

constexpr char kUtf8Name[] = "\xC3\x9Cn\xC3\xAF.txt";

const std::string kWhen = "2021-06-15 12:30:10";  // local time, as kDosTimeAndDate

/// The tree every listing test stores: "a b.txt" (3 bytes, stored at kWhen),
/// kUtf8Name (2), dir/sub/deep.txt (deepSize) and an empty directory.
inline void ExpectTree(const ArchiveReader& reader, const std::string& deepSize) {
  char when[20];
  const time_t time = reader.At(0).time;
  EXPECT_EQ(std::strftime(when, sizeof when, "%F %T", std::localtime(&time)) ? when : "", kWhen);
  EXPECT_EQ(Level(reader), "a b.txt:3," + std::string(kUtf8Name) + ":2,dir/,empty/");
  EXPECT_EQ(Level(reader, "dir") + Level(reader, "dir/sub") + Level(reader, "empty"),
            "sub/deep.txt:" + deepSize);
}

// kWhen as DOS time and date fields.
const std::string kDosTimeAndDate =
    Le(12 << 11 | 30 << 5 | 5, 2) + Le((2021 - 1980) << 9 | 6 << 5 | 15, 2);
