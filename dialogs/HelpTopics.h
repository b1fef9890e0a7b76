#pragma once
// Help topic numbers, named once. Every screen and dialog that answers F1
// passes one of these; the help sources name the same topics, and the help
// generator refuses a source topic that is not listed here.
//
// The list is a macro so that the enum, the generator's name table and the
// check that every topic has its text all come from this one place.

// X(name, number, where the user meets it)
#define VK_HELP_TOPIC_LIST(X)                                              \
  X(Index, 0, "F1 inside help")                                            \
  X(Panels, 1, "F1 on the panel screen")                                   \
  X(CommandLine, 2, "typing on the panel screen")                          \
  X(Terminal, 3, "Enter on a command, Ctrl-O")                             \
  X(Configuration, 4, "Options, Configuration")                            \
  X(Colours, 5, "Options, Colours")                                        \
  X(Confirmations, 6, "Options, Confirmations")                            \
  X(PanelModes, 7, "the Left and Right menus")                             \
  X(SelectFiles, 10, "Grey +, Grey - and Grey *")                          \
  X(Filter, 11, "Filter in the Left or Right menu")                        \
  X(Histories, 12, "Alt-F8, Alt-\\ and Alt-F5")                            \
  X(ScrollBack, 13, "Ctrl-B")                                              \
  X(InfoPanel, 14, "Ctrl-L")                                               \
  X(DesktopObjects, 15, "Alt-F6 and Ctrl-W")                               \
  X(Copy, 20, "F5, F6 and Shift-Ctrl-F5")                                  \
  X(MakeDirectory, 21, "F7")                                               \
  X(Delete, 22, "F8")                                                      \
  X(Attributes, 23, "Ctrl-A")                                              \
  X(FileCase, 24, "Ctrl-C")                                                \
  X(FileDateTime, 25, "Files, File Date/Time")                             \
  X(FileInformation, 26, "Ctrl-I")                                         \
  X(Compare, 27, "Ctrl-K")                                                 \
  X(Archives, 30, "Enter on an archive")                                   \
  X(CompressFiles, 31, "Shift-F7")                                         \
  X(Viewer, 40, "F3")                                                      \
  X(ViewerSearch, 41, "F7 in the viewer")                                  \
  X(ViewerGoto, 42, "Alt-L and Alt-O in the viewer")                       \
  X(CodePages, 43, "choosing an encoding or a code page")                  \
  X(Editor, 50, "F4")                                                      \
  X(EditorSearch, 51, "F7 and F8 in the editor")                           \
  X(EditorGotoLine, 52, "Alt-L in the editor")                             \
  X(SaveAs, 53, "F3 in the editor")                                        \
  X(FileFind, 60, "Alt-F7")                                                \
  X(FindResults, 61, "the list in File Find")                              \
  X(MultiReplace, 62, "Ctrl-R in the found files")                         \
  X(DirectoryTree, 63, "Alt-F10")                                          \
  X(UserMenu, 64, "F2 and Shift-F2")                                       \
  X(MountPoints, 65, "Alt-F1 and Alt-F2")                                  \
  X(MenuLeft, 100, "F1 in the Left or Right menu")                         \
  X(MenuFiles, 101, "F1 in the Files menu")                                \
  X(MenuCommands, 102, "F1 in the Commands menu")                          \
  X(MenuOptions, 103, "F1 in the Options menu")                            \
  X(NoTopic, 30000, "a screen without a topic of its own")

namespace HelpTopic {
enum : int {
#define VK_HELP_TOPIC_ENUM(name, number, where) name = number,
  VK_HELP_TOPIC_LIST(VK_HELP_TOPIC_ENUM)
#undef VK_HELP_TOPIC_ENUM
};
}  // namespace HelpTopic
