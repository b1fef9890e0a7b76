#include "fileops/Descriptions.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr char kDescriptionFile[] = "descript.ion";

struct TPathParts {
  std::string directory, name;
};

TPathParts Split(const Estring& path) {
  const std::string text = path.c_str();
  const size_t slash = text.rfind('/');
  if (slash == std::string::npos) return {".", text};
  return {slash == 0 ? "/" : text.substr(0, slash), text.substr(slash + 1)};
}

std::string FileOf(const std::string& directory) { return directory + "/" + kDescriptionFile; }

std::vector<std::string> ReadLines(const std::string& file) {
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The file goes when its last line does.
bool WriteLines(const std::string& file, const std::vector<std::string>& lines) {
  if (lines.empty()) return std::remove(file.c_str()) == 0;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  return static_cast<bool>(out);
}

// The name a line describes, and where its description starts.
std::string LineName(const std::string& line, size_t* rest) {
  size_t end;
  std::string name;
  if (!line.empty() && line[0] == '"') {
    end = line.find('"', 1);
    if (end == std::string::npos) end = line.size();
    name = line.substr(1, end - 1);
    if (end < line.size()) ++end;
  } else {
    end = line.find_first_of(" \t");
    if (end == std::string::npos) end = line.size();
    name = line.substr(0, end);
  }
  *rest = line.find_first_not_of(" \t", end);
  if (*rest == std::string::npos) *rest = line.size();
  return name;
}

// Index of the line describing name, or -1.
int FindLine(const std::vector<std::string>& lines, const std::string& name) {
  for (size_t i = 0; i < lines.size(); ++i) {
    size_t rest;
    if (LineName(lines[i], &rest) == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

void CarryDescription(const Estring& source, const Estring& destination, bool move) {
  const TPathParts from = Split(source), to = Split(destination);
  std::vector<std::string> lines = ReadLines(FileOf(from.directory));
  const int at = FindLine(lines, from.name);
  if (at < 0) return;
  size_t rest;
  LineName(lines[at], &rest);
  const std::string description = lines[at].substr(rest);
  if (move) {
    lines.erase(lines.begin() + at);
    if (!WriteLines(FileOf(from.directory), lines)) return;
  }
  std::vector<std::string> target = ReadLines(FileOf(to.directory));
  if (const int old = FindLine(target, to.name); old >= 0) target.erase(target.begin() + old);
  const bool quote = to.name.find_first_of(" \t") != std::string::npos;
  target.push_back((quote ? "\"" + to.name + "\"" : to.name) + " " + description);
  (void)WriteLines(FileOf(to.directory), target);
}

void DropDescription(const Estring& path) {
  const TPathParts parts = Split(path);
  const std::string file = FileOf(parts.directory);
  // Most directories have no descriptions; a tree deletion asks for each file.
  if (access(file.c_str(), F_OK) != 0) return;
  std::vector<std::string> lines = ReadLines(file);
  const int at = FindLine(lines, parts.name);
  if (at < 0) return;
  lines.erase(lines.begin() + at);
  (void)WriteLines(file, lines);
}
