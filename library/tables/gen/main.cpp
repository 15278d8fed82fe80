// meklan-gen TABLE_DIR OUT_DIR: checks the TSV files of TABLE_DIR and writes the generated
// table sources into OUT_DIR.
#include <iostream>

#include "generator.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: meklan-gen TABLE_DIR OUT_DIR\n";
    return 2;
  }
  return meklan::gen::RunGenerator(argv[1], argv[2], std::cerr);
}
