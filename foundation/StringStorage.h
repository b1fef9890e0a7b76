#pragma once
// What Westring and Estring share: the 0-terminated buffer with room for 21
// characters inside the string object, its growth rules, and the parts and
// fitting operations written once for both character widths. Internal to
// the two string classes.
#include <cstddef>
#include <cstdint>
#include <string>

template <class C>
struct TStringStorage {
  using Traits = std::char_traits<C>;
  static constexpr int InlineCapacity = 21;

  TStringStorage() = default;
  ~TStringStorage() { Release(); }
  TStringStorage(const TStringStorage&) = delete;
  TStringStorage& operator=(const TStringStorage&) = delete;

  bool OnHeap() const { return text != inlineText; }
  int Length() const { return static_cast<int>(Traits::length(text)); }

  /// The slot at index; outside the buffer, its last slot.
  C& Slot(int index) { return index >= 0 && index < capacity ? text[index] : text[capacity - 1]; }
  C Slot(int index) const { return index >= 0 && index < capacity ? text[index] : text[capacity - 1]; }

  /// A new buffer of newCapacity holding the first `keep` characters.
  void ReplaceBuffer(int newCapacity, int keep) {
    C* buffer = new C[newCapacity];
    if (keep > 0) Traits::copy(buffer, text, static_cast<size_t>(keep));
    buffer[keep < newCapacity ? keep : newCapacity - 1] = 0;
    Release();
    text = buffer;
    capacity = newCapacity;
  }
  /// Room for n characters, discarding the content: exactly n + 1 when short.
  void MakeRoom(int n) {
    if (capacity <= n) ReplaceBuffer(n + 1, 0);
    text[0] = 0;
  }
  /// Room for n characters, keeping the content: grows to n + n/4 + 1.
  void MakeRoomKeeping(int n) {
    if (capacity <= n) ReplaceBuffer(n + n / 4 + 1, capacity);
  }

  /// Replaces the content by count characters (clamped at 0) of source,
  /// which may lie inside this very buffer.
  void Assign(const C* source, int count) {
    if (!source || count < 0) count = 0;
    if (capacity > count) {
      if (count > 0) Traits::move(text, source, static_cast<size_t>(count));
    } else {
      C* buffer = new C[count + 1];
      Traits::copy(buffer, source, static_cast<size_t>(count));
      Release();
      text = buffer;
      capacity = count + 1;
    }
    text[count] = 0;
  }
  /// Appends count characters of source, which may lie inside this buffer.
  void Append(const C* source, int count) {
    if (!source || count <= 0) return;
    // Growing releases the old buffer, so a source inside it is found again by offset.
    const bool aliased = source >= text && source < text + capacity;
    const ptrdiff_t offset = source - text;
    const int length = Length();
    MakeRoomKeeping(length + count);
    if (aliased) source = text + offset;
    Traits::move(text + length, source, static_cast<size_t>(count));
    text[length + count] = 0;
  }
  void AppendOne(C ch) {
    if (ch == 0) return;
    const int length = Length();
    MakeRoomKeeping(length + 1);
    text[length] = ch;
    text[length + 1] = 0;
  }
  /// count copies of ch (nothing for count <= 0).
  void Fill(int count, C ch) {
    if (count <= 0) return;
    MakeRoom(count);
    Traits::assign(text, static_cast<size_t>(count), ch);
    text[count] = 0;
  }

  /// Removes leading / trailing characters for which isSpace holds.
  template <class IsSpace>
  void TrimLeft(IsSpace isSpace) {
    int skip = 0;
    while (text[skip] && isSpace(text[skip])) ++skip;
    if (skip > 0) Traits::move(text, text + skip, static_cast<size_t>(Length() - skip + 1));
  }
  template <class IsSpace>
  void TrimRight(IsSpace isSpace) {
    int length = Length();
    while (length > 0 && isSpace(text[length - 1])) --length;
    text[length] = 0;
  }

  /// Removes one trailing '/', except from a string of at most 3 characters
  /// whose second one is '/' (so "//" stays).
  void RemoveTrailingSlash() {
    const int length = Length();
    if (length == 0 || text[length - 1] != C('/')) return;
    if (length <= 3 && text[1] == C('/')) return;
    text[length - 1] = 0;
  }
  /// Adds a trailing '/' to a non-empty text that does not end with one.
  void AddTrailingSlash() {
    const int length = Length();
    if (length > 0 && text[length - 1] != C('/')) AppendOne(C('/'));
  }

  /// Takes over other's heap buffer (or copies its inline one); other is left empty.
  void TakeFrom(TStringStorage& other) noexcept {
    if (this == &other) return;
    if (!other.OnHeap()) {
      Assign(other.text, other.Length());
    } else {
      Release();
      text = other.text;
      capacity = other.capacity;
      other.text = other.inlineText;
      other.capacity = InlineCapacity;
    }
    other.inlineText[0] = 0;
  }

  void Release() {
    if (OnHeap()) delete[] text;
    text = inlineText;
    capacity = InlineCapacity;
  }

  C* text = inlineText;
  int32_t capacity = InlineCapacity;
  C inlineText[InlineCapacity] = {};
};

// Parts and fitting, for any string class S of character C with c_str(),
// Length(), Assign(pointer, count), Append(pointer, count), construction from
// a pointer and from (count, character).
namespace string_parts {

inline int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

template <class S>
S Left(const S& s, int n) {
  S result;
  result.Assign(s.c_str(), Clamp(n, 0, s.Length()));
  return result;
}

template <class S>
S Right(const S& s, int n) {
  const int length = s.Length();
  return S(s.c_str() + length - Clamp(n, 0, length));
}

template <class S>
S Mid(const S& s, int start, int count) {
  const int length = s.Length();
  start = Clamp(start, 0, length);
  if (count <= 0 || count > length - start) count = length - start;
  S result;
  result.Assign(s.c_str() + start, count);
  return result;
}

template <class S>
S AllButLast(const S& s, int n) {
  const int length = s.Length();
  return Left(s, length - Clamp(n, 0, length));
}

template <class S, class C>
S FitRight(const S& s, int width, C fill) {
  if (width <= 0) return S();
  const int length = s.Length();
  if (length >= width) return S(s.c_str() + length - width);
  S result(width - length, fill);
  result.Append(s.c_str(), length);
  return result;
}

template <class S, class C>
S FitLeft(const S& s, int width, C fill) {
  if (width <= 0) return S();
  const int length = s.Length();
  if (length >= width) return Left(s, width);
  S result(width, fill);
  std::char_traits<C>::copy(result.Data(), s.c_str(), static_cast<size_t>(length));
  return result;
}

}  // namespace string_parts
