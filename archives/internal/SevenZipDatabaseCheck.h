#pragma once
// A look at a 7-Zip database before libarchive decodes it: libarchive sizes
// its tables by the counts it reads, so a few bytes could make it allocate
// gigabytes.
#include <cstddef>
#include <cstdint>

/// True when every count in the database's uncompressed parts fits the
/// bytes that follow it, a plain header names at most one member per 4 bytes
/// left (a name takes at least that), and a compressed header unpacks to at
/// most maxUnpacked bytes.
bool SevenZipDatabaseFits(const uint8_t* bytes, size_t size, uint64_t maxUnpacked);
