// meklan-gen TABLE_DIR OUT_DIR: checks the TSV files of TABLE_DIR (the 2003 tables) and of
// TABLE_DIR/current (the current edition) and writes the generated table sources into OUT_DIR.
// meklan-gen --texts TEXTS.tsv HEADER NAMESPACE: writes the texts of a text table (UTF-8) as
// CP932 constants, for the texts the library and the program show.
#include <cstring>
#include <iostream>

#include "edition.h"
#include "generator.h"

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--texts") == 0) {
    return meklan::gen::RunTextGenerator(argv[2], argv[3], argv[4], std::cerr);
  }
  if (argc != 3) {
    std::cerr << "usage: meklan-gen TABLE_DIR OUT_DIR\n"
                 "       meklan-gen --texts TEXTS.tsv HEADER NAMESPACE\n";
    return 2;
  }
  int code = meklan::gen::RunGenerator(argv[1], argv[2], std::cerr);
  if (code != 0) return code;
  return meklan::gen::RunEditionGenerator(argv[1], argv[2], std::cerr);
}
