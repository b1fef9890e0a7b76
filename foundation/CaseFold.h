#pragma once
// Case folding for case-insensitive comparisons. Wide text folds through
// CaseFoldTable, built on first use from the program's table of simple
// upper-case mappings; 8-bit text folds through two 256-byte tables filled
// from the locale's toupper/tolower by BuildNarrowFoldTables.
#include <cstdint>

/// The 65536-entry table: each index maps to its upper-case code point.
/// Built on first use (thread-safe) and kept until exit.
const uint16_t* CaseFoldTable();
/// Number of (lower, upper) pairs the table was built from.
int CaseFoldPairCount();
/// ch upper-cased through CaseFoldTable; characters above U+FFFF stay.
wchar_t FoldChar(wchar_t ch);

/// Fills the 8-bit upper/lower tables from the current locale. Called once at
/// start-up after setlocale; before that the tables hold the "C" locale.
void BuildNarrowFoldTables();
bool NarrowFoldTablesBuilt();
unsigned char NarrowUpper(unsigned char ch);
unsigned char NarrowLower(unsigned char ch);
/// Compares upper-cased bytes; returns the difference at the first mismatch.
int NarrowFoldCompare(const char* a, const char* b);
/// As NarrowFoldCompare for at most n bytes; n <= 0 gives 0.
int NarrowFoldCompareN(const char* a, const char* b, int n);
