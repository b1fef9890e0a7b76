// Runs a fuzz target over the files of its corpus directories, for builds
// without libFuzzer: the test suite replays each corpus this way.
// Usage: TARGET_replay DIRECTORY...
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    DIR* directory = opendir(argv[i]);
    if (directory == nullptr) {
      perror(argv[i]);
      return 1;
    }
    while (const dirent* entry = readdir(directory)) {
      if (entry->d_name[0] == '.') continue;
      std::ifstream in(std::string(argv[i]) + "/" + entry->d_name, std::ios::binary);
      const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.data()), data.size());
      ++inputs;
    }
    closedir(directory);
  }
  printf("%d inputs replayed\n", inputs);
  return inputs > 0 ? 0 : 1;
}
