#include "tools/HelpFile.h"

#include <cerrno>
#include <cstring>

#include "foundation/CodePage.h"
#include "foundation/Estring.h"
#include "foundation/StdFile.h"

CHelpFile g_helpFile;

namespace {

constexpr int kHeaderBytes = 4;
constexpr int kHelpCodePage = 850;

int TopicAt(const unsigned char* record) {
  return static_cast<int16_t>(record[0] | record[1] << 8);
}

size_t LengthAt(const unsigned char* record) { return record[2] | record[3] << 8; }

}  // namespace

int CHelpFile::Load(const Westring& path) {
  m_data.reset();
  m_size = 0;
  StdFile file;
  if (int err = file.Open(path, 0)) return err;
  int64_t size = 0;
  if (int err = file.Size(&size)) return err;
  std::unique_ptr<char[]> data(new char[size > 0 ? size : 1]);
  size_t got = 0;
  if (size > 0) {
    const int err = file.Read(data.get(), static_cast<size_t>(size), &got);
    if (err != 0 && err != -1) return err;
  }
  m_data = std::move(data);
  m_size = got;
  return 0;
}

void CHelpFile::LoadBytes(const char* bytes, size_t size) {
  m_data.reset(new char[size > 0 ? size : 1]);
  std::memcpy(m_data.get(), bytes, size);
  m_size = size;
}

std::vector<Westring> CHelpFile::TopicLines(int topic, int tabWidth, int* found) const {
  *found = -1;
  std::vector<Westring> lines;
  if (!Loaded()) return lines;
  const auto* bytes = reinterpret_cast<const unsigned char*>(m_data.get());
  size_t at = 0;
  // A length below the header or past the end means the file was cut
  // short: the walk ends there rather than loop or read beyond it.
  while (at + kHeaderBytes <= m_size) {
    const unsigned char* record = bytes + at;
    const size_t length = LengthAt(record);
    if (length < kHeaderBytes || at + length > m_size) break;
    const int number = TopicAt(record);
    if (number == topic || number == LastHelpRecord) {
      *found = number;
      const char* text = m_data.get() + at + kHeaderBytes;
      const char* end = m_data.get() + at + length;
      while (text < end) {
        const size_t count = strnlen(text, static_cast<size_t>(end - text));
        Estring bytes;
        bytes.Assign(text, static_cast<int>(count));
        Westring line;
        CodePageToWide(bytes.ExpandTabs(tabWidth).c_str(), -1, kHelpCodePage, &line);
        lines.push_back(line);
        text += count + 1;
      }
      return lines;
    }
    at += length;
  }
  return lines;
}
