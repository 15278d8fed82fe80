// The main() of a command-line tool built on the command table: the tool defines
// kThisProgram, this runs it in the terminal's locale.
#include "command_table.h"
#include "cp932.h"

int main(int argc, char** argv) {
  cp932::InitLocale();
  return common::cli::RunProgram(common::cli::kThisProgram, argc, argv);
}
