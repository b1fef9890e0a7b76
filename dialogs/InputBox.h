#pragma once
// A one-field dialog: a heading line over a text field. Application thread.
class Westring;

/// Asks for a text under heading; the field is fieldWidth columns wide and
/// takes up to maxLength characters, with input history `history` (NoHistory
/// for none). True with *text set on Enter; false on Esc.
bool InputBox(const Westring& heading, Westring* text, int fieldWidth, int maxLength, int history);
