#pragma once
// Comma-separated lists as the configuration writes them (drive lists,
// associations): fields with optional double quotes and backslash escapes.
#include "foundation/Estring.h"

class StringCollection;

/// Reads the field at *cursor into *field and moves *cursor past the comma
/// that ends it, or to the terminating 0. A double quote toggles the quoted
/// state (in which ',' is an ordinary byte) and is dropped, except that one
/// directly after a closing quote stands for itself and opens the quoted
/// state again, so "a""b" reads as a"b. A backslash followed by up to 3
/// decimal digits gives the byte of that value (low 8 bits; 0 adds nothing),
/// followed by any other byte gives that byte, and at the end is dropped. A
/// newline is dropped, escaped or not. Returns false, with an empty field, when *cursor was
/// already at the end of the text (or null).
bool ReadCommaField(const char** cursor, Estring* field);
/// Reads every field of text and inserts it into *list (an equal field, ignoring
/// case, is not inserted again); returns the number inserted. Null reads nothing.
int SplitCommaList(const char* text, StringCollection* list);
/// The items of list in order, separated by "," and not quoted.
Estring JoinCommaList(const StringCollection& list);
