#pragma once
// A scratch directory tree for the file-find and replace tests.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace findtest {

class TScratchTree {
 public:
  TScratchTree() {
    char pattern[] = "/tmp/vk-find-test-XXXXXX";
    m_root = mkdtemp(pattern);
    chmod(m_root.c_str(), 0755);
  }
  ~TScratchTree() {
    const std::string command = "rm -rf '" + m_root + "'";
    if (system(command.c_str()) != 0) return;
  }
  const std::string& Root() const { return m_root; }
  std::string Path(const std::string& relative) const { return m_root + "/" + relative; }

  /// Writes bytes at a relative path, making the directories on the way.
  void Write(const std::string& relative, const std::string& bytes) const {
    for (size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', slash + 1))
      mkdir(Path(relative.substr(0, slash)).c_str(), 0755);
    const int fd = open(Path(relative).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;
    [[maybe_unused]] const ssize_t written = write(fd, bytes.data(), bytes.size());
    close(fd);
  }
  std::string Read(const std::string& relative) const {
    std::string bytes;
    const int fd = open(Path(relative).c_str(), O_RDONLY);
    if (fd < 0) return "<missing>";
    char block[4096];
    for (ssize_t n; (n = read(fd, block, sizeof block)) > 0;) bytes.append(block, static_cast<size_t>(n));
    close(fd);
    return bytes;
  }
  bool Exists(const std::string& relative) const { return access(Path(relative).c_str(), F_OK) == 0; }

 private:
  std::string m_root;
};

/// Text as UTF-16LE code units (ASCII and Latin-1 only).
inline std::string Utf16Le(const std::string& latin1) {
  std::string out;
  for (unsigned char c : latin1) {
    out += static_cast<char>(c);
    out += '\0';
  }
  return out;
}

/// Runs fn with the effective user "nobody" when the tests run as root
/// (permissions do not stop root), in this process so that fn may start
/// threads under the thread checker; returns what fn returns.
template <class Fn>
int RunUnprivileged(Fn fn) {
  const bool root = geteuid() == 0;
  if (root && (setegid(65534) != 0 || seteuid(65534) != 0)) return 99;
  const int result = fn();
  if (root && (seteuid(0) != 0 || setegid(0) != 0)) return 98;
  return result;
}

}  // namespace findtest
