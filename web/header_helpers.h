// The small text functions with which requests are composed and responses are
// taken apart: cutting a value out between two markers, the parts of a header
// line, the capitalised form of a header block, and Base64.
//
// Every function is pure: it reads its arguments, never changes them and
// returns a new value. Positions are 1-based; every search is a TextFind
// search, so a marker never matches inside a double-byte character.
#pragma once

#include "core/text.h"

// The quote marker: inside the markers of TextBetween, "#引号" stands for one
// double-quote byte, so that a caller can write a quote into a marker.
inline constexpr const char* kQuoteMarker = "#引号";

// The bytes between the first `left` at or after `start` and the next `right`
// after it; the empty Text when either is missing. Every "#引号" in the two
// markers is read as a double quote. A start of 1 or less searches from the
// first byte. Nothing is trimmed.
Text TextBetween(const Text& text, const Text& left, const Text& right, int start = 0,
                 bool caseInsensitive = false);

// The bytes of `text` before the first `marker` at or after `start`, counted
// from the first byte of `text` (not from `start`); the empty Text when there
// is no marker there. Nothing is trimmed.
Text TextBefore(const Text& text, const Text& marker, int start = 0, bool caseInsensitive = false);

// The name of a header line (every byte before its first colon), trimmed;
// empty when the line has no colon.
Text HeaderLineName(const Text& line);

// The value of a header line (every byte after its first colon, later colons
// included), trimmed; empty when the line has no colon.
Text HeaderLineValue(const Text& line);

// `text` with its first byte upper-cased when that byte is "a" to "z".
Text CapitalizeFirst(const Text& text);

// A header block (lines joined by "\r\n") with the first letter of its header
// names, and the first letter after every "-" of a name, upper-cased; empty
// lines and lines without a colon dropped; everything from the colon on kept
// byte for byte; no "\r\n" after the last line.
Text NormalizeHeaderBlock(const Text& block);

// Standard Base64 (RFC 4648), with "=" padding and no line breaks.
Text Base64Encode(const ByteArray& data);
