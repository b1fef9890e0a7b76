#pragma once
// What the archive reader tests share: a quiet reader over files in a fresh
// directory, and one directory level as a line of text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "archives/ArchiveReader.h"
#include "tests/TempDirectory.h"

inline std::string Le(uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
  return out;
}

class TArchiveTest : public ::testing::Test {
 protected:
  TArchiveTest() { m_reader.SetQuiet(true); }
  int Run(const std::string& command) {
    return std::system(("cd '" + m_dir.Path() + "' && " + command).c_str());
  }
  int Open(const std::string& leaf, int format) {
    return m_reader.OpenAs(Westring::FromUtf8((m_dir / leaf).c_str()), format);
  }
  int OpenBytes(const std::string& bytes, int format) {
    std::ofstream(m_dir / "bytes", std::ios::binary | std::ios::trunc) << bytes;
    return Open("bytes", format);
  }
  // "name size" and "name/" items joined by "|"; " owner:group" when not 0.
  std::string Level(const char* directory) const {
    std::string out;
    m_reader.List(Westring::FromUtf8(directory), [&](const TListedMember& m) {
      out += (out.empty() ? "" : "|") +
             std::string(Westring(m.name).Left(m.nameLength).ToUtf8().c_str());
      out += m.directory ? "/" : " " + std::to_string(m.size);
      if (m.owner != 0 || m.group != 0)
        out += " " + std::to_string(m.owner) + ":" + std::to_string(m.group);
      return true;
    });
    return out;
  }

  TTempDirectory m_dir{"archive"};
  ArchiveReader m_reader;
};
