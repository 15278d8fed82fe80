#include "version_note.h"

#include <elf.h>
#include <link.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace meklan::cli {
namespace {

constexpr char kOwner[] = "MEKLAN";
constexpr std::uint32_t kVersionNoteType = 1;

std::size_t Align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

template <typename T>
bool ReadAt(const std::string& bytes, std::size_t offset, T& out) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, bytes.data() + offset, sizeof(T));
  return true;
}

std::vector<std::pair<std::string, std::string>> SplitTexts(const std::string& desc) {
  std::vector<std::pair<std::string, std::string>> texts;
  std::size_t start = 0;
  while (start < desc.size()) {
    std::size_t end = desc.find('\0', start);
    if (end == std::string::npos) end = desc.size();
    const std::string text = desc.substr(start, end - start);
    const std::size_t eq = text.find('=');
    if (eq != std::string::npos) texts.emplace_back(text.substr(0, eq), text.substr(eq + 1));
    start = end + 1;
  }
  return texts;
}

// Walks the notes of one SHT_NOTE section for ours.
std::optional<std::string> FindInNotes(const std::string& bytes, std::size_t offset, std::size_t size) {
  if (offset > bytes.size() || bytes.size() - offset < size) return std::nullopt;
  const std::size_t end = offset + size;
  while (offset + sizeof(ElfW(Nhdr)) <= end) {
    ElfW(Nhdr) note{};
    ReadAt(bytes, offset, note);
    const std::size_t name_at = offset + sizeof note;
    const std::size_t desc_at = name_at + Align4(note.n_namesz);
    const std::size_t next = desc_at + Align4(note.n_descsz);
    if (note.n_namesz > size || note.n_descsz > size || next > end) return std::nullopt;
    if (note.n_type == kVersionNoteType && note.n_namesz == sizeof kOwner &&
        std::memcmp(bytes.data() + name_at, kOwner, sizeof kOwner) == 0) {
      return bytes.substr(desc_at, note.n_descsz);
    }
    offset = next;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::pair<std::string, std::string>>> ReadVersionNote(
    const std::string& library_file) {
  std::ifstream in(library_file, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ElfW(Ehdr) header{};
  if (!ReadAt(bytes, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) ||
      header.e_shentsize != sizeof(ElfW(Shdr))) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < header.e_shnum; ++i) {
    ElfW(Shdr) section{};
    if (!ReadAt(bytes, header.e_shoff + i * sizeof section, section)) return std::nullopt;
    if (section.sh_type != SHT_NOTE) continue;
    if (auto desc = FindInNotes(bytes, section.sh_offset, section.sh_size)) return SplitTexts(*desc);
  }
  return std::nullopt;
}

}  // namespace meklan::cli
