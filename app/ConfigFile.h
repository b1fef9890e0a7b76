#pragma once
// vk.ini: reading it into the settings, re-reading its list sections, and
// writing it back through a temporary file. Application thread.
#include <functional>

class Westring;

/// The seventeen section headers in their fixed order.
constexpr int ConfigSectionCount = 17;
extern const char* const ConfigSectionHeaders[ConfigSectionCount];

/// Receives the messages about lines that could not be used ("Bad
/// directive (%s) in vk.ini, line %d"); start-up shows them in a message
/// box. Without a handler they are dropped.
void SetConfigMessageHandler(std::function<void(const Westring& message)> handler);

/// Reads vk.ini. A full load starts every setting from its default; a reload
/// empties and re-reads only the list sections (patterns, environment,
/// archivers), keeping [General Options] as they are. A missing file leaves
/// the defaults and returns 0; an unreadable one returns its errno.
int LoadConfig(const Westring& path, bool reload);

/// Writes vk.ini: re-reads the list sections first (keeping hand edits),
/// writes everything to the name with "!!!" for its last three characters
/// and replaces the file only when all was written. Returns 0 or errno; on
/// failure the old file is left as it was.
int SaveConfig(const Westring& path);
