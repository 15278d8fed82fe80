#include "written_addresses.h"

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "cp932.h"

namespace resolve_oracle {
namespace {

// The fields of a published line, quotes taken off (the files put no comma inside a field).
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string f; std::getline(in, f, ',');) {
    if (f.size() >= 2 && f.front() == '"' && f.back() == '"') f = f.substr(1, f.size() - 2);
    fields.push_back(f);
  }
  return fields;
}

std::vector<std::vector<std::string>> Rows(std::string_view cp932_bytes, std::size_t width) {
  std::vector<std::vector<std::string>> rows;
  std::stringstream in(cp932::ToUtf8(cp932_bytes));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> f = Fields(line);
    if (f.size() >= width) rows.push_back(std::move(f));
  }
  return rows;
}

bool Has(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

std::string Before(const std::string& text, std::string_view mark) { return text.substr(0, text.find(mark)); }

std::string ParenOf(const std::string& town) {
  const std::size_t open = town.find("（");
  if (open == std::string::npos) return {};
  std::string inner = town.substr(open + 3);
  if (inner.size() >= 3 && inner.substr(inner.size() - 3) == "）") inner.resize(inner.size() - 3);
  return inner;
}

// The first number written in full width at the start of `text`, -1 when none.
int FirstNumber(std::string_view text) {
  int n = -1;
  while (text.size() >= 3 && text.substr(0, 2) == "\xEF\xBC" && static_cast<unsigned char>(text[2]) >= 0x90 &&
         static_cast<unsigned char>(text[2]) <= 0x99) {
    n = (n < 0 ? 0 : n * 10) + (static_cast<unsigned char>(text[2]) - 0x90);
    text.remove_prefix(3);
  }
  return n;
}

const char* const kKanjiDigits[] = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

std::string Kanji(int n) {
  if (n < 10) return kKanjiDigits[n];
  if (n < 100) return (n / 10 == 1 ? "" : kKanjiDigits[n / 10]) + std::string("十") + (n % 10 ? kKanjiDigits[n % 10] : "");
  return std::to_string(n);
}

std::string FullWidth(std::string_view ascii) {
  std::string out;
  for (char c : ascii) {
    if (c >= '0' && c <= '9') out += "\xEF\xBC" + std::string(1, static_cast<char>(0x90 + (c - '0')));
    else if (c == '-') out += "－";
    else out += c;
  }
  return out;
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The number part of an address in one of the ways people write it.
std::string Numbers(int chome, int block, int sub, unsigned variant) {
  const unsigned digits = (variant / 4) % 3;  // ASCII, full width, kanji
  auto num = [&](int n) {
    return digits == 0 ? std::to_string(n) : digits == 1 ? FullWidth(std::to_string(n)) : Kanji(n);
  };
  std::string text;
  if (chome >= 0) {
    switch (variant % 4) {
      case 0: text = digits == 2 ? num(chome) + "丁目" : num(chome) + "-"; break;
      default: text = num(chome) + "丁目"; break;
    }
  }
  switch (variant % 4) {
    case 0: case 2: return text + num(block) + (digits == 1 ? "－" : "-") + num(sub);
    case 1: return text + num(block) + "番" + num(sub) + "号";
    default: return text + num(block) + "番地の" + num(sub);
  }
}

// A whole address: prefecture (now and then left out), city (郡 now and then dropped), town
// (with 大字 or ヶ now and then), numbers, and now and then a 〒 code before and a building after.
std::string Written(const std::string& pref, std::string city, std::string town, const std::string& numbers,
                    const std::string& postcode, unsigned variant) {
  const bool district = Has(city, "郡") && (city.ends_with("町") || city.ends_with("村"));
  if (variant % 5 == 2 && district) city = city.substr(city.find("郡") + 3);
  if (variant % 2 == 1 && Has(town, "ケ")) town = Replaced(town, "ケ", "ヶ");
  std::string text = variant % 4 == 1 ? "" : pref;
  text += city;
  if (variant % 6 == 0) text += " ";
  text += town + numbers;
  if (variant % 7 == 0) text = "〒" + postcode.substr(0, 3) + "-" + postcode.substr(3) + " " + text;
  return text;
}

struct Record {
  std::string dantai, postcode, pref, city, town, flag_chome;
};

std::vector<Record> KenAllRecords(std::string_view bytes) {
  std::vector<Record> records;
  for (std::vector<std::string>& f : Rows(bytes, 15)) {
    Record r{f[0], f[2], f[6], f[7], f[8], f[11]};
    const bool continues = !records.empty() && records.back().postcode == r.postcode &&
                           Has(records.back().town, "（") && !Has(records.back().town, "）");
    if (continues) records.back().town += r.town;
    else records.push_back(std::move(r));
  }
  return records;
}

// True when `text` holds nothing but full-width digits and the given words.
bool OnlyDigitsAnd(std::string text, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words) text = Replaced(text, w, "");
  for (int d = 0; d <= 9; ++d) text = Replaced(text, FullWidth(std::to_string(d)), "");
  return text.empty();
}

bool Special(const std::string& town) {
  return town == "以下に掲載がない場合" || Has(town, "の次に番地がくる場合") || Has(town, "一円");
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<WrittenAddress> FromKenAll(std::string_view bytes) {
  const std::vector<Record> records = KenAllRecords(bytes);
  std::map<std::pair<std::string, std::string>, int> per_town;  // (dantai, town name) -> records
  for (const Record& r : records) ++per_town[{r.dantai, Before(r.town, "（")}];
  std::vector<WrittenAddress> out;
  unsigned variant = 0;
  for (const Record& r : records) {
    if (Special(r.town)) continue;
    const std::string base = Before(r.town, "（");
    const std::string paren = ParenOf(r.town);
    const bool alone = per_town[{r.dantai, base}] == 1;
    const int first = FirstNumber(paren);
    std::string numbers;
    ++variant;
    if (paren.empty() && alone) {
      numbers = r.flag_chome == "1" ? Numbers(1, 3, 5, variant) : Numbers(-1, 12, 3, variant);
    } else if (first >= 0 && Has(paren, "丁目") && OnlyDigitsAnd(paren, {"丁目", "、", "～"})) {
      numbers = Numbers(first, 4, 2, variant);
    } else if (first >= 0 && Has(paren, "番地") && OnlyDigitsAnd(paren, {"番地", "、", "～"})) {
      numbers = std::to_string(first) + "番地";
    } else {
      continue;
    }
    const std::string town = variant % 9 == 4 && r.flag_chome != "1" ? "大字" + base : base;
    std::string text = Written(r.pref, r.city, town, numbers, r.postcode, variant);
    if (variant % 5 == 0) text += " 第一ビル" + std::to_string(variant % 9 + 1) + "F";
    out.push_back({cp932::FromUtf8(text).value_or(""), r.postcode, r.dantai});
  }
  return out;
}

std::vector<WrittenAddress> FromJigyosyo(std::string_view bytes) {
  std::vector<WrittenAddress> out;
  unsigned variant = 0;
  for (const std::vector<std::string>& f : Rows(bytes, 13)) {
    ++variant;
    std::string street = f[6];
    if (variant % 3 == 1) {  // digits as ASCII
      street = Replaced(Replaced(street, "－", "-"), "０", "0");
      for (int d = 1; d <= 9; ++d) street = Replaced(street, FullWidth(std::to_string(d)), std::to_string(d));
    }
    const std::string text = Written(f[3], f[4], f[5], street, f[7], variant);
    out.push_back({cp932::FromUtf8(text).value_or(""), f[7], f[0]});
  }
  return out;
}

}  // namespace resolve_oracle
