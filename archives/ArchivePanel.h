#pragma once
// Archives in the panels: the function the program installs as
// g_openArchiveListing, which reads an archive's member list once and hands
// the panel one directory level at a time.
#include <memory>

#include "foundation/Westring.h"
#include "panels/ArchiveListing.h"

/// The listing of the archive at path (a full path), or null when the file
/// is no archive of a known format.
std::unique_ptr<CArchiveListing> OpenArchiveListing(const Westring& path);
