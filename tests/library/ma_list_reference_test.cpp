// MEKLAN_GetMA finds the longest matching probe in one scan instead of shortening the key
// pass by pass. This test holds it against the plain pass-by-pass search on many keys.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "lookup/lookup.h"
#include "tables/tables.h"

using namespace meklan;

namespace {

bool Passes(const MKMA& r, int pref) {
  return pref == -1 || r.prefNo == pref + 1 || (pref == 0 && r.prefNo > 50);
}

// The search as a person would write it from its description.
std::string PassByPass(const std::string& key, int pref) {
  std::string out;
  if (key == "0") {
    for (int i = 0; i < kMaCount; ++i) {
      if (Passes(kMaTable[i], pref)) out += std::string(kMaTable[i].maName) + "$";
    }
    return out;
  }
  std::string probe;
  for (char c : key) {
    if (c != '-') probe += c;
  }
  for (int i = 0; i < kMaCount; ++i) {
    if (std::strncmp(kMaTable[i].maName, key.c_str(), key.size()) == 0 && Passes(kMaTable[i], pref)) {
      out += std::string(kMaTable[i].maName) + "$";
    }
  }
  while (probe.size() >= 2) {
    bool success = false;
    for (int i = 0; i < kMaCount; ++i) {
      const MKMA& r = kMaTable[i];
      if (std::strncmp(r.maKana, key.c_str(), key.size()) == 0) {
        if (Passes(r, pref)) out += std::string(r.maName) + "$";
        continue;
      }
      for (NumberCandidates c(r); c.Next();) {
        if (c.Length() >= probe.size() && std::memcmp(c.Text(), probe.data(), probe.size()) == 0) {
          if (Passes(r, pref)) {
            out += std::string(r.maName) + "$";
            success = true;
          }
          break;
        }
      }
    }
    if (success) break;
    probe.pop_back();
  }
  return out;
}

std::set<std::string> Keys() {
  std::set<std::string> keys = {"", "0", "00", "01", "012", "0120", "0120-123-456", "03", "099", "098",
                                   "0598", "0-5-9-8", "-", "--", "1", "99999", "0000000"};
  for (int i = 0; i < kMaCount; ++i) {
    std::string name = kMaTable[i].maName, kana = kMaTable[i].maKana;
    for (std::size_t n = 1; n <= name.size(); ++n) keys.insert(name.substr(0, n));
    for (std::size_t n = 2; n <= kana.size(); n += 2) keys.insert(kana.substr(0, n));  // whole kana
    for (NumberCandidates c(kMaTable[i]); c.Next();) {
      std::string cand = c.Text();
      keys.insert(cand);
      keys.insert(cand + "123");
      keys.insert(cand.substr(0, 2) + "-" + cand.substr(2) + "-9");
    }
  }
  std::mt19937 rng(20031201);
  for (int i = 0; i < 1000; ++i) {
    std::string k = "0";
    int len = 1 + static_cast<int>(rng() % 9);
    for (int j = 0; j < len; ++j) k += static_cast<char>('0' + rng() % 10);
    keys.insert(k);
  }
  return keys;
}

TEST(GetMAReference, SameListsAsThePassByPassSearch) {
  char out[MEKLAN_MALIST_SIZE];
  int compared = 0;
  for (const std::string& key : Keys()) {
    for (int pref : {-1, 0, 46}) {
      MEKLAN_GetMA(key.c_str(), out, pref);
      ASSERT_EQ(std::string(out), PassByPass(key, pref)) << "key " << key << " filter " << pref;
      ++compared;
    }
  }
  EXPECT_GT(compared, 10000) << "keys compared";
}

}  // namespace
