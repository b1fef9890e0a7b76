// One copy, or one tree deletion, through the program's file engines,
// without a window: the time CopyFile takes for a file or a whole tree, or
// DeleteDirectory for a tree.
// Usage: vk_copy_bench SOURCE DESTINATION | vk_copy_bench -d TREE
#include <chrono>
#include <cstdio>
#include <cstring>

#include "config/Settings.h"
#include "fileops/CopyFiles.h"
#include "fileops/DeleteFiles.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s SOURCE DESTINATION | %s -d TREE\n", argv[0], argv[0]);
    return 2;
  }
  const bool deletion = strcmp(argv[1], "-d") == 0;
  g_settings.confirmations = ConfirmBit::DeleteNonEmptyDir;  // nobody to answer "Delete tree?"
  TCopyContext context;
  const auto start = std::chrono::steady_clock::now();
  int result;
  if (deletion) {
    result = DeleteDirectory(Estring(argv[2]), L"*", &context) == 1 ? 0 : 1;
  } else {
    AddToCopyTotal(Estring(argv[1]), &context);
    result = CopyFile(Estring(argv[1]), Estring(argv[2]), 1, 1, &context);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  printf("%s %lld bytes result %d seconds %.4f\n", deletion ? "delete" : "copy",
         static_cast<long long>(context.progress.done.load()), result, seconds);
  return result == 0 ? 0 : 1;
}
