#include "help/HelpSources.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <map>

#include "dialogs/HelpTopics.h"
#include "foundation/CodePage.h"
#include "foundation/Estring.h"
#include "foundation/Westring.h"

namespace {

constexpr int kHelpCodePage = 850;
constexpr int kLastRecord = 30000;
constexpr size_t kMaxRecordLength = 65535;

struct TListedTopic {
  const char* name;
  int number;
  const char* where;
};

const TListedTopic kListedTopics[] = {
#define VK_HELP_TOPIC_ENTRY(name, number, where) {#name, number, where},
    VK_HELP_TOPIC_LIST(VK_HELP_TOPIC_ENTRY)
#undef VK_HELP_TOPIC_ENTRY
};

const TListedTopic* FindListed(const std::string& name) {
  for (const TListedTopic& topic : kListedTopics)
    if (name == topic.name) return &topic;
  return nullptr;
}

int CharacterCount(const std::string& utf8) { return Westring(utf8.c_str()).Length(); }

bool IsBlank(const std::string& line) { return line.find_first_not_of(' ') == std::string::npos; }

// "= Name: Title" into its two parts; false when the line is not of that form.
bool SplitHeading(const std::string& line, std::string* name, std::string* title) {
  const size_t colon = line.find(':');
  if (colon == std::string::npos || colon < 3) return false;
  *name = line.substr(2, colon - 2);
  *title = line.substr(colon + 1);
  title->erase(0, std::min(title->find_first_not_of(' '), title->size()));
  return !name->empty() && name->find(' ') == std::string::npos && !title->empty();
}

// Why a text line cannot be shown, or "" when it can.
std::string LineFault(const std::string& line) {
  if (line.find('\t') != std::string::npos) return "a tab: use spaces";
  const Westring wide(line.c_str());
  if (wide.Length() > HelpLineWidth)
    return "longer than " + std::to_string(HelpLineWidth) + " characters";
  if (WideToCodePage(wide.c_str(), kHelpCodePage).Length() != wide.Length())
    return "a character code page 850 does not have";
  return std::string();
}

void DropBlankEnds(std::vector<std::string>* lines) {
  while (!lines->empty() && IsBlank(lines->back())) lines->pop_back();
  const auto first =
      std::find_if(lines->begin(), lines->end(), [](const std::string& l) { return !IsBlank(l); });
  lines->erase(lines->begin(), first);
}

class CSourceReader {
 public:
  CSourceReader(std::vector<THelpTopic>* topics, std::vector<std::string>* errors)
      : m_topics(topics), m_errors(errors) {}

  int ReadFile(const std::string& file) {
    std::ifstream in(file);
    if (!in) {
      m_errors->push_back(file + ": cannot be read");
      return errno != 0 ? errno : EIO;
    }
    m_file = file;
    m_current = -1;
    std::string line;
    for (m_line = 1; std::getline(in, line); ++m_line) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.compare(0, 2, "= ") == 0)
        StartTopic(line);
      else
        AddLine(line);
    }
    return 0;
  }

  void CheckEveryTopicWritten() {
    for (const TListedTopic& listed : kListedTopics)
      if (m_seen.count(listed.name) == 0)
        m_errors->push_back(std::string("no help text for topic ") + listed.name);
  }

 private:
  void Fault(const std::string& text) {
    m_errors->push_back(m_file + ":" + std::to_string(m_line) + ": " + text);
  }

  void StartTopic(const std::string& line) {
    m_current = -1;
    std::string name, title;
    if (!SplitHeading(line, &name, &title)) return Fault("a heading is \"= Name: Title\"");
    const TListedTopic* listed = FindListed(name);
    if (listed == nullptr) return Fault("topic " + name + " is not in the list of help topics");
    if (!m_seen.emplace(name, m_file + ":" + std::to_string(m_line)).second)
      return Fault("topic " + name + " is written already at " + m_seen[name]);
    if (const std::string fault = LineFault(title); !fault.empty())
      return Fault("the title has " + fault);
    m_topics->push_back({listed->number, name, title, listed->where, {}});
    m_current = static_cast<int>(m_topics->size()) - 1;
  }

  void AddLine(const std::string& line) {
    if (m_current < 0) {
      if (!IsBlank(line)) Fault("text before the first topic heading");
      return;
    }
    if (const std::string fault = LineFault(line); !fault.empty()) Fault("the line has " + fault);
    (*m_topics)[m_current].body.push_back(line);
  }

  std::vector<THelpTopic>* m_topics;
  std::vector<std::string>* m_errors;
  std::map<std::string, std::string> m_seen;  // name -> where it was written
  std::string m_file;
  int m_line = 0;
  int m_current = -1;  // the topic being read
};

std::string Centred(const std::string& text) {
  const int pad = (HelpLineWidth - CharacterCount(text)) / 2;
  return std::string(pad > 0 ? pad : 0, ' ') + text;
}

// "  Title ........ where" when both fit on a line, else where on its own
// line below the title, to the right.
void AddListEntry(const THelpTopic& topic, std::vector<std::string>* lines) {
  const std::string left = "  " + topic.title + " ";
  const std::string right = " " + topic.where;
  const int dots = HelpLineWidth - CharacterCount(left) - CharacterCount(right);
  if (dots >= 2) {
    lines->push_back(left + std::string(dots, '.') + right);
    return;
  }
  lines->push_back("  " + topic.title);
  lines->push_back(std::string(std::max(HelpLineWidth - CharacterCount(right), 0), ' ') + right);
}

void PutWord(std::string* bytes, unsigned value) {
  bytes->push_back(static_cast<char>(value & 0xFF));
  bytes->push_back(static_cast<char>(value >> 8 & 0xFF));
}

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string PageName(const THelpTopic& topic) {
  std::string name = topic.name;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return name + ".html";
}

std::string PageHead(const std::string& title) {
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
         HtmlEscaped(title) +
         "</title>\n<style>\nbody { font-family: sans-serif; max-width: 52em; margin: 1em auto; }\n"
         "pre { font-size: 1.05em; line-height: 1.3; }\nnav { margin: 0.5em 0; }\n.where { color: "
         "#555; }\n"
         "</style>\n</head>\n<body>\n";
}

std::string PreformattedBody(const THelpTopic& topic) {
  std::string text = "<pre>\n";
  for (const std::string& line : topic.body) text += HtmlEscaped(line) + "\n";
  return text + "</pre>\n";
}

std::string IndexPage(const std::vector<THelpTopic>& topics, const THelpTopic* index) {
  std::string page = PageHead("Varnak 2.40-dev manual") + "<h1>Varnak 2.40-dev</h1>\n";
  if (index != nullptr) page += PreformattedBody(*index);
  page += "<h2>Topics</h2>\n<ul>\n";
  for (const THelpTopic& topic : topics) {
    if (topic.number == HelpTopic::Index || topic.number == kLastRecord) continue;
    page += "<li><a href=\"" + PageName(topic) + "\">" + HtmlEscaped(topic.title) +
            "</a> <span class=\"where\">(" + HtmlEscaped(topic.where) + ")</span></li>\n";
  }
  return page + "</ul>\n</body>\n</html>\n";
}

std::string TopicPage(const THelpTopic& topic, const THelpTopic* previous, const THelpTopic* next) {
  std::string nav = "<nav><a href=\"index.html\">Index</a>";
  if (previous != nullptr)
    nav += " | <a href=\"" + PageName(*previous) + "\">" + HtmlEscaped(previous->title) + "</a>";
  if (next != nullptr)
    nav += " | <a href=\"" + PageName(*next) + "\">" + HtmlEscaped(next->title) + "</a>";
  nav += "</nav>\n";
  return PageHead(topic.title + " - Varnak") + nav + "<h1>" + HtmlEscaped(topic.title) +
         "</h1>\n<p class=\"where\">" + HtmlEscaped(topic.where) + "</p>\n" +
         PreformattedBody(topic) + nav + "</body>\n</html>\n";
}

int WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return errno != 0 ? errno : EIO;
  out << text;
  out.close();
  return out ? 0 : (errno != 0 ? errno : EIO);
}

}  // namespace

int ReadHelpSources(const std::vector<std::string>& files, std::vector<THelpTopic>* topics,
                    std::vector<std::string>* errors) {
  topics->clear();
  CSourceReader reader(topics, errors);
  const size_t faultsBefore = errors->size();
  for (const std::string& file : files)
    if (int err = reader.ReadFile(file)) return err;
  reader.CheckEveryTopicWritten();
  for (THelpTopic& topic : *topics) DropBlankEnds(&topic.body);
  std::sort(topics->begin(), topics->end(),
            [](const THelpTopic& a, const THelpTopic& b) { return a.number < b.number; });
  return errors->size() == faultsBefore ? 0 : EINVAL;
}

std::vector<std::string> ShownLines(const THelpTopic& topic, const std::vector<THelpTopic>& all) {
  std::vector<std::string> lines = {Centred(topic.title),
                                    Centred(std::string(CharacterCount(topic.title), '-')), ""};
  lines.insert(lines.end(), topic.body.begin(), topic.body.end());
  if (topic.number != HelpTopic::Index) return lines;
  lines.insert(lines.end(), {"", "HELP TOPICS", ""});
  for (const THelpTopic& other : all)
    if (other.number != HelpTopic::Index && other.number != kLastRecord)
      AddListEntry(other, &lines);
  return lines;
}

int EncodeHelpFile(const std::vector<THelpTopic>& topics, std::string* bytes,
                   std::vector<std::string>* errors) {
  bytes->clear();
  for (const THelpTopic& topic : topics) {
    std::string text;
    for (const std::string& line : ShownLines(topic, topics)) {
      text += WideToCodePage(Westring(line.c_str()).c_str(), kHelpCodePage).c_str();
      text += '\0';
    }
    if (text.size() + 4 > kMaxRecordLength) {
      errors->push_back("topic " + topic.name + " is too long for one help record");
      return EINVAL;
    }
    PutWord(bytes, static_cast<unsigned>(topic.number) & 0xFFFF);
    PutWord(bytes, static_cast<unsigned>(text.size() + 4));
    *bytes += text;
  }
  return 0;
}

int WriteManual(const std::string& directory, const std::vector<THelpTopic>& topics) {
  const THelpTopic* index = nullptr;
  std::vector<const THelpTopic*> pages;
  for (const THelpTopic& topic : topics) {
    if (topic.number == HelpTopic::Index)
      index = &topic;
    else if (topic.number != kLastRecord)
      pages.push_back(&topic);
  }
  const std::string indexPage = IndexPage(topics, index);
  if (int err = WriteText(directory + "/index.html", indexPage)) return err;
  if (int err = WriteText(directory + "/vk.html", indexPage)) return err;
  for (size_t i = 0; i < pages.size(); ++i) {
    const THelpTopic* previous = i > 0 ? pages[i - 1] : nullptr;
    const THelpTopic* next = i + 1 < pages.size() ? pages[i + 1] : nullptr;
    if (int err =
            WriteText(directory + "/" + PageName(*pages[i]), TopicPage(*pages[i], previous, next)))
      return err;
  }
  return 0;
}
