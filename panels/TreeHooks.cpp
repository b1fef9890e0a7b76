#include "panels/TreeHooks.h"

TTreeHooks g_treeHooks;
