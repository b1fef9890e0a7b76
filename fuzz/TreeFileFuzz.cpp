// libFuzzer target: any bytes as a tree data file. The volume is taken from
// the input itself so that most inputs reach the lines. Whatever is read must
// be a well-formed tree (parents, depths, names), and writing it and reading
// it back must give the same number of nodes.
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/FuzzFile.h"
#include "tools/DirectoryTree.h"
#include "tools/TreeFile.h"

namespace {

int CheckedCount(const TREENODE* parent) {
  int count = 0;
  for (const TREENODE* node = parent->child; node != nullptr; node = node->next) {
    if (node->parent != parent || node->depth != parent->depth + 1 || node->depth > TreeLimit::MaxDepth ||
        node->name.IsEmpty() || node->name.Find(L'/') >= 0)
      std::abort();
    count += 1 + CheckedCount(node);
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t volume = 0;
  if (size >= sizeof volume) std::memcpy(&volume, data, sizeof volume);
  CTree tree(TTreeKey{kUnixDrive, volume}, Westring(L"/"));
  std::string copy(reinterpret_cast<const char*>(data), size);
  (void)ParseTreeData(&tree, copy.data(), copy.size());
  if (tree.Root() == nullptr || tree.Root()->parent != nullptr || tree.Root()->next != nullptr) std::abort();
  const int count = CheckedCount(tree.Root());

  const Westring file = Westring::FromUtf8(WriteFuzzFile("-tree.dat", data, size).c_str());
  tree.modified = true;
  if (SaveTree(&tree, file) != 0) return 0;
  CTree again(TTreeKey{kUnixDrive, volume}, Westring(L"/"));
  LoadTree(&again, file);
  if (CheckedCount(again.Root()) != count) std::abort();
  return 0;
}
