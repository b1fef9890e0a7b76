#pragma once
// The viewer's file: the read-ahead block cache (four 16 KiB blocks, most
// recently used first, a thread fetching the next one). ByteAt serves random
// access; KnownSize grows when reads find the file longer.
#include "foundation/ReadAheadFile.h"

using ViewFile = ReadAheadFile;
