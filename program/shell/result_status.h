// The status line under the result list: how many rows the last search found and where they
// came from.
#pragma once

#include <string>

#include <QString>

namespace tovra {

class ResultModel;

// Rows by where they come from: a row with a business name is from the business file, a row
// without a postal code is a district of the telephone tables, any other from the main file.
struct RowSources {
  int main_file = 0;
  int business_file = 0;
  int districts = 0;
  int total() const { return main_file + business_file + districts; }
};
RowSources CountRowSources(const ResultModel& model);

// "1,234件（KEN_ALL.CSV 1,200件、JIGYOSYO.CSV 34件）": the files by the names in their paths.
QString ResultStatusText(const RowSources& rows, const std::string& main_path,
                         const std::string& business_path);

}  // namespace tovra
