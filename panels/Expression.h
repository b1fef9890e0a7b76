#pragma once
// The filter and selection expression language: file-name patterns and
// attribute tests ("%size>10k", "%attrib=d", ...) combined with "!", "&", "|"
// and parentheses. One evaluator both checks the syntax and matches; every
// operand is evaluated (no short-circuit), so a syntax error anywhere shows.
// No state outside the call: any thread may evaluate, though "%date" reads
// the locale's date conventions that start-up sets.
struct entry;

/// Evaluates the expression on an entry: 1 true, 0 false, -1 syntax error.
/// A null expression counts as empty, which is a syntax error.
int EvaluateExpression(const wchar_t* expression, const entry& e);

/// As EvaluateExpression on an entry whose fields are all zero and whose
/// name is `name` (null counts as ""); for command texts and syntax checks.
int EvaluateOnName(const wchar_t* expression, const wchar_t* name);

/// True unless the expression is a syntax error (checked on the name "test").
bool IsValidExpression(const wchar_t* expression);
