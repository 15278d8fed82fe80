// meklan-answers FILE: writes the transcript of libmeklan.so, the answers meklan.dll must
// give under wine (scripts/test-windows.sh).
#include <cstdio>
#include <fstream>
#include <iostream>

#include "export_transcript.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: meklan-answers FILE\n";
    return 2;
  }
  MeklanExports meklan{};
#define MEKLAN_TRANSCRIPT_LINK(name) meklan.name = &MEKLAN_##name;
  MEKLAN_TRANSCRIPT_EXPORTS(MEKLAN_TRANSCRIPT_LINK)
#undef MEKLAN_TRANSCRIPT_LINK
  const std::string transcript = ExportTranscript(meklan);
  std::ofstream out(argv[1], std::ios::binary);
  out << transcript;
  if (!out.flush()) {
    std::cerr << "meklan-answers: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
