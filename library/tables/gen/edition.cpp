// Reading, checking and writing the current edition, and the join data of both editions.
#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "cp932.h"
#include "edition.h"
#include "rules.h"
#include "tsv.h"

namespace meklan::gen {
namespace {

// Chome bit 0: a part of the town that the postal file does not tell apart.
constexpr std::uint64_t kUnnamedPart = 1;

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string ToCp932(const std::string& utf8) { return cp932::FromUtf8(utf8).value_or(std::string()); }

// The postal name of a town the postal file does not list.
const std::string kUnlisted = "-";

struct Correction {
  int line;
  std::string written;  // UTF-8, as the wording has it
  std::string postal;   // as the postal file writes the town
  int uses = 0;
};

// dantaiCode -> its corrections
using Corrections = std::map<std::string, std::vector<Correction>>;

Corrections ReadCorrections(const std::string& dir, Diagnostics& diag) {
  Corrections corrections;
  ForEachRow(dir, "town_corrections.tsv", {"dantaiCode", "written", "postal"}, diag, [&](const Row& row) {
    row.Text("written");  // reports text without a CP932 form
    row.Text("postal");
    corrections[row.Raw("dantaiCode")].push_back({row.Line(), row.Raw("written"), row.Raw("postal")});
  });
  return corrections;
}

// Town names of one wording, corrected and converted; a name without a CP932 form is refused.
void FinishTowns(const std::string& code, PartWording& part, Corrections& corrections, int line,
                 Diagnostics& diag) {
  for (TownTerm& t : part.towns) {
    auto found = corrections.find(code);
    if (found != corrections.end()) {
      for (Correction& c : found->second) {
        if (c.written != t.town) continue;
        ++c.uses;
        if (c.postal == kUnlisted) {  // kept as written: it meets no postal row
          part.unlistedTowns = true;
          break;
        }
        t.town = c.postal;
        if (EndsWith(t.town, "*")) {  // the towns written under this name
          t.town.pop_back();
          t.under = true;
        } else if (EndsWith(t.town, "?")) {  // an unnamed part of the town
          t.town.pop_back();
          t.chome |= kUnnamedPart;
        }
        break;
      }
    }
    auto cp = cp932::FromUtf8(t.town);
    if (!cp) diag.Add("current/address.tsv", line, "a town without a CP932 form: " + t.town);
    t.town = cp.value_or(std::string());
  }
}

bool IsCode(const std::string& text) {
  return text.size() == 5 && text.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<int> OrderByCode(const std::vector<std::string>& codes) {
  std::vector<int> order(codes.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return codes[a] < codes[b]; });
  return order;
}

// The join data of one edition, ready to write.
struct JoinData {
  std::vector<int> ma;    // per address record
  std::vector<PartWording> parts;
  std::vector<int> byCode;
};

// The library's PartMode enumerator for a part's mode.
const char* PartModeName(int mode) {
  switch (mode) {
    case kWordingOnly:
      return "PartMode::kOnly";
    case kWordingExcept:
      return "PartMode::kExcept";
    case kWordingRest:
      return "PartMode::kRest";
    default:
      return "PartMode::kWhole";
  }
}

void EmitJoinData(std::ostream& out, const std::string& prefix, const JoinData& d) {
  out << "const PartTown k" << prefix << "Towns[] = {\n";
  for (const PartWording& p : d.parts) {
    for (const TownTerm& t : p.towns) {
      out << "  {" << Literal(t.town) << ", " << t.chome << "ULL, " << (t.under ? 1 : 0) << "},\n";
    }
  }
  out << "  {nullptr, 0, 0},  // keeps the array non-empty\n};\n\n";
  out << "const AddressPart k" << prefix << "Parts[] = {\n";
  int first = 0;
  for (std::size_t i = 0; i < d.parts.size(); ++i) {
    int count = static_cast<int>(d.parts[i].towns.size());
    out << "  {" << d.ma[i] << ", " << PartModeName(d.parts[i].mode) << ", " << first << ", " << count << ", "
        << (d.parts[i].unlistedTowns ? 1 : 0) << "},\n";
    first += count;
  }
  out << "};\n\nconst int k" << prefix << "ByCode[] = {";
  for (std::size_t i = 0; i < d.byCode.size(); ++i) out << (i % 16 == 0 ? "\n  " : " ") << d.byCode[i] << ",";
  out << "\n};\n\n";
}

// 2003: a record with a town covers that town; in a divided code a record without one
// covers the rest.
JoinData JoinData2003(const Tables& t) {
  JoinData d;
  std::map<std::pair<std::string, int>, int> index_of;
  std::map<std::string, int> first_of;
  for (std::size_t i = 0; i < t.ma.size(); ++i) {
    index_of.emplace(std::make_pair(t.ma[i].name, t.ma[i].branch), static_cast<int>(i));
    first_of.emplace(t.ma[i].name, static_cast<int>(i));
  }
  std::map<std::string, int> records_of_code;
  std::vector<std::string> codes;
  for (const AddressRow& r : t.address) {
    ++records_of_code[r.dantaiCode];
    codes.push_back(r.dantaiCode);
  }
  for (const AddressRow& r : t.address) {
    auto found = index_of.find({r.maName, r.branch});
    // The (下関, 0) records name no record by branch: the MA's first record stands for it.
    d.ma.push_back(found != index_of.end() ? found->second : first_of.at(r.maName));
    PartWording p;
    if (!r.townName.empty()) {
      p.mode = kWordingOnly;
      p.towns.push_back({r.townName, 0, false});
    } else {
      p.mode = records_of_code[r.dantaiCode] > 1 ? kWordingRest : kWordingWhole;
    }
    d.parts.push_back(std::move(p));
  }
  d.byCode = OrderByCode(codes);
  return d;
}

JoinData JoinDataCurrent(const CurrentEdition& e) {
  JoinData d;
  std::map<std::pair<std::string, int>, int> index_of;
  for (std::size_t i = 0; i < e.ma.size(); ++i) {
    index_of.emplace(std::make_pair(e.ma[i].name, e.ma[i].branch), static_cast<int>(i));
  }
  std::vector<std::string> codes;
  for (const EditionAddressRow& r : e.address) {
    d.ma.push_back(index_of.at({r.maName, r.branch}));
    d.parts.push_back(r.part);
    codes.push_back(r.dantaiCode);
  }
  d.byCode = OrderByCode(codes);
  return d;
}

}  // namespace

CurrentEdition ReadCurrentEdition(const std::string& dir, Diagnostics& diag) {
  CurrentEdition e;
  ForEachRow(dir, "edition.tsv", {"key", "value"}, diag, [&](const Row& row) {
    if (row.Raw("key") == "dataDate") e.dataDate = row.Text("value");
  });
  ForEachRow(dir, "ma.tsv", kMaColumns, diag, [&](const Row& row) {
    e.ma.push_back(ReadMaRow(row, "current/ma.tsv", static_cast<int>(e.ma.size()), diag));
  });
  Corrections corrections = ReadCorrections(dir, diag);
  ForEachRow(dir, "address.tsv",
             {"dantaiCode", "part", "maName", "branch", "areaCode", "prefName", "cityName", "wording"}, diag,
             [&](const Row& row) {
               EditionAddressRow r;
               r.line = row.Line();
               r.dantaiCode = row.Text("dantaiCode");
               r.maName = row.Text("maName");
               r.branch = row.Int("branch");
               r.areaCode = row.Text("areaCode");
               r.prefName = row.Text("prefName");
               r.cityName = row.Text("cityName");
               r.wording = row.Text("wording");
               std::string rule;
               auto part = ReadPartWording(row.Raw("wording"), rule);
               if (!part) {
                 diag.Add("current/address.tsv", r.line, "wording not understood (" + rule + ")");
               } else {
                 r.part = std::move(*part);
                 FinishTowns(row.Raw("dantaiCode"), r.part, corrections, r.line, diag);
               }
               e.address.push_back(std::move(r));
             });
  for (const auto& [code, list] : corrections) {
    for (const Correction& c : list) {
      if (c.uses == 0) diag.Add("current/town_corrections.tsv", c.line, "corrects a town no wording of " + code + " names");
    }
  }
  return e;
}

void CheckCurrentEdition(const CurrentEdition& e, Diagnostics& diag) {
  const std::string ma_file = "current/ma.tsv";
  const std::string file = "current/address.tsv";
  bool date_ok = e.dataDate.size() == MEKLAN_DAYDATA_SIZE - 1 && e.dataDate[4] == '/' && e.dataDate[7] == '/';
  if (!date_ok) diag.Add("current/edition.tsv", 2, "dataDate is not YYYY/MM/DD");
  std::map<std::pair<std::string, int>, const MaRow*> record_of;
  for (const MaRow& r : e.ma) {
    CheckMaRecord(ma_file, r, diag);
    if (r.name.size() > kMaxMaNameBytes) {
      diag.Add(ma_file, r.line, "maName longer than " + std::to_string(kMaxMaNameBytes) + " bytes");
    }
    record_of.emplace(std::make_pair(r.name, r.branch), &r);
  }
  CheckMaNames(ma_file, e.ma, diag);
  std::map<std::string, std::set<std::string>> mas_of_code;
  std::map<std::string, std::vector<const EditionAddressRow*>> rows_of_code;
  std::string previous;
  for (const EditionAddressRow& r : e.address) {
    if (!IsCode(r.dantaiCode)) diag.Add(file, r.line, "dantaiCode is not five digits");
    if (r.dantaiCode < previous) diag.Add(file, r.line, "dantaiCode out of order");
    previous = r.dantaiCode;
    if (r.cityName.empty()) diag.Add(file, r.line, "empty required text: cityName");
    auto found = record_of.find({r.maName, r.branch});
    if (found == record_of.end()) {
      diag.Add(file, r.line, "names no MA record: " + cp932::ToUtf8(r.maName) + " " + std::to_string(r.branch));
    } else if (r.areaCode != "0" + std::to_string(found->second->areaCode)) {
      diag.Add(file, r.line, "areaCode is not that of the MA record");
    }
    mas_of_code[r.dantaiCode].insert(r.maName);
    rows_of_code[r.dantaiCode].push_back(&r);
  }
  for (const auto& [code, rows] : rows_of_code) {
    if (static_cast<int>(mas_of_code[code].size()) > MEKLAN_JOIN_MAX) {
      diag.Add(file, rows.front()->line, "more MAs than a join result holds");
    }
    if (rows.size() < 2) {
      if (rows.front()->part.mode != kWordingWhole) diag.Add(file, rows.front()->line, "a single record with a part");
      continue;
    }
    for (const EditionAddressRow* r : rows) {
      if (r->part.mode == kWordingWhole) diag.Add(file, r->line, "a record without a part beside parts");
    }
  }
}

std::vector<LetterVariantRow> ReadLetterVariants(const std::string& dir, Diagnostics& diag) {
  const std::string file = "letter_variants.tsv";
  std::vector<LetterVariantRow> rows;
  ForEachRow(dir, file, {"letter", "sameAs"}, diag, [&](const Row& row) {
    LetterVariantRow r{row.Line(), row.Text("letter"), row.Text("sameAs")};
    auto one_letter = [](const std::string& cp) { return cp.size() == 2 && cp932::IsLeadByte(static_cast<unsigned char>(cp[0])); };
    if (!one_letter(r.letter) || !one_letter(r.sameAs)) {
      diag.Add(file, r.line, "letter and sameAs must each be one double-byte letter");
    } else if (r.letter == r.sameAs) {
      diag.Add(file, r.line, "a letter the same as its sameAs");
    }
    rows.push_back(std::move(r));
  });
  // One step folds: a letter is never another row's letter or sameAs.
  for (const LetterVariantRow& a : rows) {
    for (const LetterVariantRow& b : rows) {
      if (&a != &b && (a.letter == b.letter || a.letter == b.sameAs)) {
        diag.Add(file, a.line, "a letter that another row also folds or folds to");
        break;
      }
    }
  }
  return rows;
}

std::string EmitEditions(const Tables& t, const CurrentEdition& e, const std::vector<LetterVariantRow>& variants) {
  std::ostringstream out;
  out << "// Generated by meklan-gen from library/tables/*.tsv and current/*.tsv. Do not edit.\n"
         "#include \"tables/edition_tables.h\"\n#include \"tables/tables.h\"\n\n"
         "namespace meklan {\nnamespace {\n\n";
  out << "const MKMA kCurrentMa[] = {\n";
  for (const MaRow& r : e.ma) EmitMaRecord(out, r);
  out << "};\n\nconst MKADDRESS kCurrentAddress[] = {\n";
  for (const EditionAddressRow& r : e.address) {
    out << "  {" << Literal(r.dantaiCode) << ", " << Literal(r.maName) << ", " << r.branch << ", "
        << Literal(r.prefName) << ", " << Literal(r.cityName) << ", " << Literal(r.wording) << ", \"\"},\n";
  }
  out << "};\n\n";
  JoinData old = JoinData2003(t);
  JoinData now = JoinDataCurrent(e);
  EmitJoinData(out, "2003", old);
  EmitJoinData(out, "Current", now);
  out << "}  // namespace\n\n";
  out << "const LetterVariant kLetterVariants[] = {\n";
  for (const LetterVariantRow& v : variants) out << "  {" << Literal(v.letter) << ", " << Literal(v.sameAs) << "},\n";
  out << "  {nullptr, nullptr},  // keeps the array non-empty\n};\n";
  out << "const int kLetterVariantCount = " << variants.size() << ";\n\n";
  out << "const char* const kFormerMunicipalityMarks[] = {";
  for (std::string_view mark : kFormerMunicipalityMarks) out << Literal(ToCp932(std::string(mark))) << ", ";
  out << "};\nconst int kFormerMunicipalityMarkCount = " << std::size(kFormerMunicipalityMarks) << ";\n\n";
  out << "const Edition kEdition2003 = {" << Literal(ToCp932(MEKLAN_DATA_DATE)) << ", kMaTable, " << t.ma.size()
      << ", kAddressTable, " << t.address.size() << ", k2003Parts, k2003Towns, k2003ByCode};\n";
  out << "const Edition kEditionCurrent = {" << Literal(e.dataDate) << ", kCurrentMa, " << e.ma.size()
      << ", kCurrentAddress, " << e.address.size() << ", kCurrentParts, kCurrentTowns, kCurrentByCode};\n\n";
  out << "}  // namespace meklan\n";
  return out.str();
}

int RunEditionGenerator(const std::string& in_dir, const std::string& out_dir, std::ostream& err) {
  Diagnostics diag;
  Tables tables = ReadTables(in_dir, diag);
  std::vector<LetterVariantRow> variants = ReadLetterVariants(in_dir, diag);
  CurrentEdition current = ReadCurrentEdition(in_dir + "/current", diag);
  if (diag.Empty()) CheckCurrentEdition(current, diag);
  if (ReportRefusal(diag, in_dir + "/current", err)) return 1;
  return WriteFile(out_dir + "/editions_data.cpp", EmitEditions(tables, current, variants), err) ? 0 : 1;
}

}  // namespace meklan::gen
