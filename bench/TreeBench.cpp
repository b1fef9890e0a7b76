// The directory tree's scan of a large directory structure, best of a few
// runs, then the tree data file of what it found written once and read back
// best of the same runs.
// Usage: vk_tree_bench DIRECTORY TREE_FILE [RUNS]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "tools/DirectoryTree.h"
#include "tools/TreeFile.h"
#include "tools/TreeScan.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int CountNodes(const TREENODE* first) {
  int count = 0;
  for (const TREENODE* node = first; node != nullptr; node = node->next) count += 1 + CountNodes(node->child);
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "Usage: vk_tree_bench DIRECTORY TREE_FILE [RUNS]\n");
    return 2;
  }
  const Westring directory = Westring::FromUtf8(argv[1]);
  const Westring file = Westring::FromUtf8(argv[2]);
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  TTreeKey key;
  if (!TreeKeyOf(directory, &key, nullptr)) {
    std::fprintf(stderr, "cannot examine %s\n", argv[1]);
    return 1;
  }
  CTree tree(key, directory);
  double bestScan = 1e9;
  for (int i = 0; i < runs; ++i) {
    TScanProgress progress;
    const auto start = std::chrono::steady_clock::now();
    TREENODE* root = ScanDirectories(directory, true, &progress);
    const double seconds = Seconds(start);
    if (seconds < bestScan) bestScan = seconds;
    tree.SetRoot(root);
  }
  std::printf("directories %d\n", CountNodes(tree.Root()));
  std::printf("scan best %.4f s\n", bestScan);
  tree.modified = true;
  if (SaveTree(&tree, file) != 0) return 1;
  double bestLoad = 1e9;
  int loaded = 0;
  for (int i = 0; i < runs; ++i) {
    CTree again(key, directory);
    const auto start = std::chrono::steady_clock::now();
    LoadTree(&again, file);
    const double seconds = Seconds(start);
    if (seconds < bestLoad) bestLoad = seconds;
    loaded = again.NodeCount();
  }
  std::printf("loaded %d nodes\n", loaded);
  std::printf("load best %.1f ms\n", bestLoad * 1000);
  return loaded == CountNodes(tree.Root()) ? 0 : 1;
}
