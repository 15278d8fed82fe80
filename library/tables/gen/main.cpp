// meklan-gen TABLE_DIR OUT_DIR: checks the TSV files of TABLE_DIR (the 2003 tables) and of
// TABLE_DIR/current (the current edition) and writes the generated table sources into OUT_DIR.
#include <iostream>

#include "edition.h"
#include "generator.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: meklan-gen TABLE_DIR OUT_DIR\n";
    return 2;
  }
  int code = meklan::gen::RunGenerator(argv[1], argv[2], std::cerr);
  if (code != 0) return code;
  return meklan::gen::RunEditionGenerator(argv[1], argv[2], std::cerr);
}
