#pragma once
// A fresh directory for one test, removed with everything in it afterwards.
#include <stdlib.h>

#include <cstdlib>
#include <string>

class TTempDirectory {
 public:
  /// Makes root/prefix-XXXXXX; Path() is empty when that failed.
  explicit TTempDirectory(const char* prefix, const char* root = "/tmp") {
    std::string pattern = std::string(root) + "/" + prefix + "-XXXXXX";
    if (mkdtemp(pattern.data())) m_path = pattern;
  }
  ~TTempDirectory() {
    if (m_path.empty()) return;
    const std::string command = "rm -rf '" + m_path + "'";
    (void)!std::system(command.c_str());
  }
  TTempDirectory(const TTempDirectory&) = delete;
  TTempDirectory& operator=(const TTempDirectory&) = delete;

  const std::string& Path() const { return m_path; }
  /// A name inside the directory.
  std::string operator/(const std::string& leaf) const { return m_path + "/" + leaf; }

 private:
  std::string m_path;
};
