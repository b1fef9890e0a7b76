#pragma once
// The tree data file that keeps a tree between runs: the 4-byte volume of the
// file system, then one line per node in pre-order, the depth as "0" plus the
// depth followed by the name. Application thread.
#include <cstddef>

#include "foundation/Westring.h"

class CTree;

/// Whether the data file's name is wanted for reading or for writing.
enum class TreeFileUse { Read, Write };

/// The file's name: "vk2tree.dat" in the TreeDir setting's directory, else
/// "vktree.dat" in $HOME/.vkl (made with mode 0700 for writing when
/// missing); empty without either.
Westring TreeDataFileName(TreeFileUse use = TreeFileUse::Read);

/// Replaces tree's nodes by what data (size bytes, changed in place) holds
/// for it, as far as it is sound: a volume other than the tree's gives
/// nothing, an unsound line ends the reading and keeps the nodes before it.
/// True when the volume matched and a root was read (the tree is then loaded).
bool ParseTreeData(CTree* tree, char* data, size_t size);

/// Reads the data file into tree; without a usable file the tree becomes its
/// single root, not loaded.
void LoadTree(CTree* tree, const Westring& fileName);

/// Sorts the tree and writes it through a temporary name renamed over the
/// file, so that the file is always whole. 0, or the errno after
/// "Error writing tree data file:" was shown (the tree stays modified).
int SaveTree(CTree* tree, const Westring& fileName);
