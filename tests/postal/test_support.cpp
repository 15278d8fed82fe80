#include "test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "meklan.h"

namespace tovra::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tovra-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  EXPECT_NE(made, nullptr);
  dir_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::string path = Path(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return path;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string KenLine(const std::string& dantai, const std::string& old_code, const std::string& code,
                    const std::string& pref, const std::string& city, const std::string& town,
                    const std::string& city_kana, const std::string& town_kana) {
  return Sjis(dantai + ",\"" + old_code + "\",\"" + code + "\",\"ｹﾝ\",\"" + city_kana + "\",\"" + town_kana +
           "\",\"" + pref + "\",\"" + city + "\",\"" + town + "\",0,0,0,0,0,0");
}

std::string JigLine(const std::string& dantai, const std::string& name_kana, const std::string& name,
                    const std::string& pref, const std::string& city, const std::string& town,
                    const std::string& rest, const std::string& code, const std::string& old_code) {
  return Sjis(dantai + ",\"" + name_kana + "\",\"" + name + "\",\"" + pref + "\",\"" + city + "\",\"" + town +
           "\",\"" + rest + "\",\"" + code + "\",\"" + old_code + "\",\"局\",0,0,0");
}

std::string Lines(const std::vector<std::string>& lines, const std::string& eol) {
  std::string out;
  for (const std::string& l : lines) out += l + eol;
  return out;
}

Settings SettingsFor(const std::string& ken_all, const std::string& jigyosyo) {
  Settings s = DefaultSettings("/nonexistent/");
  s.ken_all_path = ken_all;
  s.jigyosyo_path = jigyosyo;
  s.ma_edition = MEKLAN_EDITION_2003;  // rows as the searches have always shown them
  return s;
}

FileIdentity IdentityOf(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return {};
  return {static_cast<std::uint64_t>(st.st_ino), static_cast<std::uint32_t>(st.st_mode), static_cast<std::int64_t>(st.st_size)};
}

}  // namespace tovra::test
