// One copy through the program's copy engine, without a window: the time
// CopyFile takes for a file or a whole tree.
// Usage: vk_copy_bench SOURCE DESTINATION
#include <chrono>
#include <cstdio>

#include "fileops/CopyFiles.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s SOURCE DESTINATION\n", argv[0]);
    return 2;
  }
  TCopyContext context;
  const auto start = std::chrono::steady_clock::now();
  AddToCopyTotal(Estring(argv[1]), &context);
  const int result = CopyFile(Estring(argv[1]), Estring(argv[2]), 1, 1, &context);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  printf("copy %lld bytes result %d seconds %.4f\n",
         static_cast<long long>(context.progress.done.load()), result, seconds);
  return result == 0 ? 0 : 1;
}
