#pragma once
// What the archive fuzz targets share: the input as a file read as each of
// a few formats, then every directory level it gives listed, with the
// invariants a reader must keep whatever the bytes.
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "archives/ArchiveReader.h"
#include "fuzz/FuzzFile.h"

inline void CheckArchive(bool holds) {
  if (!holds) abort();
}

inline void ListLevels(const ArchiveReader& reader, const Westring& directory, int depth, int* listed) {
  std::vector<Westring> below;
  reader.List(directory, [&](const TListedMember& member) {
    // A member lists at most once on each of the nine levels visited, however deep its path.
    CheckArchive(member.nameLength > 0 && ++*listed <= 9 * reader.Count());
    if (member.directory && depth < 8) below.push_back(Westring(member.name).Left(member.nameLength));
    return true;
  });
  for (const Westring& name : below) {
    const Westring inner = directory.IsEmpty() ? name : directory + L"/" + name;
    CheckArchive(reader.HasDirectory(inner));
    ListLevels(reader, inner, depth + 1, listed);
  }
}

inline void FuzzArchiveFormats(const uint8_t* data, size_t size, std::initializer_list<int> formats) {
  const Westring name = Westring::FromUtf8(WriteFuzzFile(".archive", data, size).c_str());
  for (int format : formats) {
    ArchiveReader reader;
    reader.SetQuiet(true);
    const int found = reader.OpenAs(name, format);
    CheckArchive(found == format || found == ArchiveNone);
    for (int i = 0; i < reader.Count(); ++i) CheckArchive(reader.At(i).path != nullptr);
    int listed = 0;
    ListLevels(reader, Westring(), 0, &listed);
  }
}
