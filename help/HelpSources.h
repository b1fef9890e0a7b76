#pragma once
// The help sources: plain UTF-8 files in help/topics/ in which a line
// "= Name: Title" starts a topic (Name as in dialogs/HelpTopics.h) and the
// lines after it are its text, shown as written. From them the build writes
// the help file the help window reads and the HTML manual.
#include <string>
#include <vector>

/// Help lines are this many characters wide at most.
constexpr int HelpLineWidth = 72;

struct THelpTopic {
  int number = 0;
  std::string name, title, where;
  std::vector<std::string> body;  // UTF-8, leading and trailing blank lines dropped
};

/// Reads the topics of the source files, sorted by number. Every listed
/// topic must have exactly one source; *errors gets "file:line: problem"
/// for each fault found. Returns 0, or EINVAL when there were faults, or
/// the errno of a file that could not be read.
int ReadHelpSources(const std::vector<std::string>& files, std::vector<THelpTopic>* topics,
                    std::vector<std::string>* errors);

/// The lines the help window shows for a topic: its title, a rule and its
/// text; the index has the list of every other topic after its text.
std::vector<std::string> ShownLines(const THelpTopic& topic, const std::vector<THelpTopic>& all);

/// The help file's bytes: one record per topic in code page 850, the
/// 30000 topic last. Returns 0 or EINVAL with *errors telling why.
int EncodeHelpFile(const std::vector<THelpTopic>& topics, std::string* bytes,
                   std::vector<std::string>* errors);

/// Writes the manual into directory: index.html (also as vk.html) and a
/// page per topic. Returns 0 or errno.
int WriteManual(const std::string& directory, const std::vector<THelpTopic>& topics);
