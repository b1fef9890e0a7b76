#pragma once
// The help text: a file of topic records read whole into memory at
// start-up. A record is a signed 16-bit topic number and an unsigned 16-bit
// length (little-endian, the 4 header bytes counted), then the topic's lines
// as 0-terminated code page 850 strings; topic 30000 ends the file and is
// what a topic without a record shows. Application thread.
#include <cstddef>
#include <memory>
#include <vector>

#include "foundation/Westring.h"

/// The topic number of the record that ends the file.
constexpr int LastHelpRecord = 30000;

class CHelpFile {
 public:
  /// Reads the whole file, replacing what was loaded; 0 or errno. A file
  /// that cannot be read leaves no help loaded.
  int Load(const Westring& path);
  /// Takes the bytes of a help file as they would lie in it.
  void LoadBytes(const char* bytes, size_t size);
  bool Loaded() const { return m_data != nullptr; }

  /// The lines of the first record of `topic`, or of the 30000 record when
  /// the walk meets it first, with tabs expanded to tabWidth. *found tells
  /// which record: the topic, 30000, or -1 when neither is there (no help,
  /// or a file cut short).
  std::vector<Westring> TopicLines(int topic, int tabWidth, int* found) const;

 private:
  std::unique_ptr<char[]> m_data;
  size_t m_size = 0;
};

/// The help text of this run.
extern CHelpFile g_helpFile;
