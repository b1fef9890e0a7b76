// libFuzzer target: any bytes as syntax.ini, read for a few file names,
// must load without a crash, a hang or a sanitizer report (an "!include"
// of the file itself stops at the nesting limit).
#include "editor/SyntaxDefinition.h"
#include "fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Westring path = Westring::FromUtf8(WriteFuzzFile("syntax.ini", data, size).c_str());
  for (const wchar_t* name : {L"a.c", L"Makefile", L"x"}) {
    CSyntaxDefinition definition;
    std::vector<TConfigMessage> messages;
    (void)definition.Load(path, name, 0x17, &messages);
  }
  return 0;
}
