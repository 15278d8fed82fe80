// What people type, turned into the forms the postal files use. Only the key is folded, never
// the file: a field matches when it holds any form of the key, and the key as typed is always
// one of its forms, so a key typed as the file writes it finds exactly what it found before.
//
// Both front ends hand the typed text to the searches unchanged; the searches fold it here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovra {

// What a search field is read as.
enum class KeyKind { kPostCode, kWords, kDantai, kAreaCode };

// A postal code as the file writes it: full-width digits as ASCII ones, the other dashes
// (－ ‐ ― − ー ｰ) as "-", "〒" and blanks (ASCII and full-width) left out around the code.
// The result still goes through the hyphen join of NormalisePostCodeKey.
std::string FoldPostCodeKey(std::string_view typed);

// The text without the blanks (ASCII and full-width) at either end.
std::string_view TrimBlanks(std::string_view text);

// A code (local-government code, area code or telephone number): full-width digits and "－" as
// ASCII, surrounding blanks removed.
std::string FoldCodeKey(std::string_view typed);

// How a file writes its readings. KEN_ALL.CSV writes small kana small (ｱｯﾀ) and the long
// vowel as "ｰ"; JIGYOSYO.CSV writes small kana large (ﾄｳｷﾖｳ) and the long vowel of many
// readings as "-" (ｾﾝﾀ-).
enum class Readings { kKenAll, kJigyosyo };

// Every form one address term is looked for in: as typed; with ASCII digits and "-" written
// full-width, as the town and address fields write them; as a reading, in half-width katakana
// with ASCII digits, as the kana fields write them; and for JIGYOSYO.CSV that reading with
// small kana written large, also with its long vowels as "-". Repeats are left out.
std::vector<std::string> TermForms(std::string_view term, Readings readings);

// The address key split at "+" or "＋" into at most two terms, each trimmed of blanks and given
// its forms. `second` is empty for a key with one term.
struct FoldedWords {
  std::vector<std::string> first;
  std::vector<std::string> second;
};
FoldedWords FoldWordKey(std::string_view key, Readings readings);

// Whether anything is left to search for once the key is folded: a search field holding only
// blanks, "〒", "+" or the like is no search (the desktop program keeps 検索 disabled for it).
bool IsSearchKey(KeyKind kind, std::string_view key);

}  // namespace tovra
