#pragma once
// File-mask matching: '?', '*', character classes "[...]" and alternatives
// "{a,b}", ignoring case. Pure functions: any thread may call them.
//
// The rules, shared by both widths:
// - '?' matches one character, never the end of the name.
// - '*' matches any run of characters, none included.
// - '[' opens a class when a ']' follows somewhere later, otherwise it is an
//   ordinary character. Members are single characters or ranges "a-z"; a '-'
//   directly before the closing ']' ranges up to 255, and a range whose end
//   is below its start adds nothing. A '^' right after '[' negates the class
//   and every further '^' toggles the negation for the members that follow.
//   Members and the name's character are folded before they are compared
//   (range ends are folded, then the range is taken between them).
// - '{' opens alternatives separated by ',' up to the next '}'. Each one is
//   compared with the name at that point ('?' and classes work inside it,
//   other characters compare literally); the rest of the pattern is tried
//   after every alternative that matches. An empty alternative matches at
//   once. When no alternative leads to a match, or no '}' follows, the '{'
//   is an ordinary character.
// - Other characters compare folded: the narrow form through NarrowUpper
//   (the locale's toupper), the wide form through FoldChar.
class Westring;

/// True when the whole name matches the whole pattern; null counts as "".
bool WildcardMatch(const char* pattern, const char* name);
/// The wide form of WildcardMatch; null counts as "".
bool WildcardMatch(const wchar_t* pattern, const wchar_t* name);
bool WildcardMatch(const Westring& pattern, const Westring& name);
