#pragma once
// vk.ini: reading it into the settings, re-reading its list sections, and
// writing it back through a temporary file. Application thread.
#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/Westring.h"

/// The seventeen section headers in their fixed order.
constexpr int ConfigSectionCount = 17;
extern const char* const ConfigSectionHeaders[ConfigSectionCount];

/// A message about vk.ini: the text ("Bad directive (%s) in vk.ini, line
/// %d", "Syntax error in association", a failed save) and a second line
/// (the association as pattern ":" command, or the file name), maybe empty.
struct TConfigMessage {
  Westring text;
  Westring second;
};

/// Receives the messages one by one as they arise; start-up shows each in a
/// message box. An empty handler restores the default, which collects them
/// for TakeConfigMessages.
void SetConfigMessageHandler(std::function<void(const Westring& text, const Westring& second)> handler);
/// The same for a handler that takes the text alone; a second line is
/// appended to the text after a blank.
void SetConfigMessageHandler(std::function<void(const Westring& text)> handler);
/// The messages collected while no handler was set, oldest first; empties
/// the collection.
std::vector<TConfigMessage> TakeConfigMessages();

/// Decides whether an association's pattern compiles as a filter
/// expression. An empty check (the default) accepts every pattern, which
/// then stays text until the filter language reads it.
void SetAssociationPatternCheck(std::function<bool(const Westring& pattern)> check);

/// Reads vk.ini. A full load starts every setting from its default; a reload
/// empties and re-reads only the list sections (patterns, environment,
/// archivers), keeping [General Options] as they are. A missing file leaves
/// the defaults and returns 0; an unreadable one returns its errno (what was
/// read before the failure stays).
int LoadConfig(const Westring& path, bool reload);

/// The byte offset of the line starting with a section header such as
/// "[Associations]" in vk.ini; -1 when the file or the header is not there.
int64_t ConfigSectionOffset(const Westring& path, const char* header);

/// Writes vk.ini: re-reads the list sections first (keeping hand edits),
/// writes everything to the name with "!!!" for its last three characters
/// and replaces the file only when all was written. Returns 0 or errno; on
/// failure the old file is left as it was and the temporary file removed.
/// A missing per-user directory is made first. Every failure is reported as
/// a message, except a failed replacement, which asks Retry in a box itself.
int SaveConfig(const Westring& path);
