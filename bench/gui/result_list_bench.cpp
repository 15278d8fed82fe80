// Filling the main dialog's result list: every KEN_ALL.CSV row (a postal-code search for "-",
// which reaches the engine as an empty key that every code contains), from the button click to
// the painted list; and the list alone, fed rows that are already in memory.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QTableView>
#include <memory>
#include <vector>

#include "main_dialog.h"
#include "resources.h"
#include "result_model.h"
#include "template_builder.h"

namespace {

using namespace tovra;

// A program folder whose data/ is the bundled data; the settings file is never written.
struct Program {
  Settings settings;
  std::unique_ptr<MainDialog> main;
  Program() {
    const std::string dir = TOVRA_BENCH_PROGRAM_DIR;
    settings = DefaultSettings(dir);
    main = std::make_unique<MainDialog>(settings, dir);
    main->Start();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    ui::ControlAs<QCheckBox>(main->dialog(), res::kUseBusinessData)->setChecked(false);
    ui::ControlAs<QAbstractButton>(main->dialog(), res::kPostCodeContains)->click();
    ui::ControlAs<QLineEdit>(main->dialog(), res::kSearchText)->setText("-");
  }
  void PaintList() { main->resultList()->viewport()->repaint(); }
};

void BM_SearchFillsEveryKenAllRow(benchmark::State& state) {
  Program program;
  auto* search = ui::ControlAs<QAbstractButton>(program.main->dialog(), res::kIdOk);
  for (auto _ : state) {
    search->click();
    program.PaintList();
  }
  state.counters["rows"] = program.main->results()->rowCount();
  if (program.main->results()->rowCount() != 124825) state.SkipWithError("expected 124,825 rows");
}
BENCHMARK(BM_SearchFillsEveryKenAllRow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ListTakesRowsFromThePort(benchmark::State& state) {
  Program program;
  program.main->dialog()->findChild<QAbstractButton*>(QString::number(res::kIdOk))->click();
  std::vector<ResultRow> rows;
  for (int r = 0; r < program.main->results()->rowCount(); ++r) {
    rows.push_back(program.main->results()->Row(r));
  }
  std::reverse(rows.begin(), rows.end());  // arriving out of order costs the sort too
  ResultModel* model = program.main->results();
  QTableView* list = program.main->resultList();
  for (auto _ : state) {
    list->hide();
    model->Clear();
    model->BeginBatch();
    for (const ResultRow& row : rows) program.main->AddRow(row);
    model->EndBatch();
    list->show();
    program.PaintList();
  }
  state.counters["rows"] = static_cast<double>(rows.size());
}
BENCHMARK(BM_ListTakesRowsFromThePort)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setFont(ui::DialogFont(res::kMainDialog));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
