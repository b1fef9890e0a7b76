#pragma once
// The one file of a fuzz run that each input is written to, for readers
// that take a path; removed when the run ends.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

inline const std::string& WriteFuzzFile(const char* suffix, const uint8_t* data, size_t size) {
  static const struct TFuzzFile {
    std::string path;
    explicit TFuzzFile(const char* suffix) : path("/dev/shm/vk-fuzz-" + std::to_string(getpid()) + suffix) {}
    ~TFuzzFile() { unlink(path.c_str()); }
  } s_file(suffix);
  if (FILE* file = fopen(s_file.path.c_str(), "wb")) {
    fwrite(data, 1, size, file);
    fclose(file);
  }
  return s_file.path;
}
