// Running a command-line tool of the build as a child process, the way a shell would.
#pragma once

#include <string>
#include <vector>

namespace test_process {

struct Result {
  int code = -1;  // exit status; -1 when the child did not exit normally or could not start
  std::string out, err;
};

// Runs `program` with `args` under the locale `locale` (LC_ALL; LANG and LC_CTYPE unset)
// and waits for it. Standard output is read to its end before standard error, so a child
// that writes more than a pipe holds to standard error would stall: the tools under test
// write little there.
Result Run(const char* program, const std::vector<std::string>& args, const char* locale);

}  // namespace test_process
