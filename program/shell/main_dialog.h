// The main search dialog (template 101): the program's visible window. It implements the
// postal engine's port, decides which search runs with which arguments, keeps the window
// rectangle and column widths in the settings record, and carries out the quit.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QObject>

#include "search_view.h"
#include "searches.h"
#include "settings.h"

class QDialog;
class QLabel;
class QTableView;

namespace tovra {

class HelpWindow;
class IndexNotice;
class ResultList;
class ResultModel;

// The engine calls the dialog makes: one per search mode. Normally the engine's functions;
// tests record them.
struct SearchCalls {
  std::function<SearchOutcome(SearchContext&, std::string_view, PostCodeMatch, Business)> findPostCode;
  std::function<SearchOutcome(SearchContext&, std::string_view, WordMatch, Business)> findWords;
  std::function<SearchOutcome(SearchContext&, std::string_view, Business)> findDantai;
  std::function<SearchOutcome(SearchContext&, std::string_view, AreaDisplay, Business)> findAreaCode;
  // Prefecture, then city.
  std::function<SearchOutcome(SearchContext&, std::string_view, std::string_view, Business)> findCityRows;
  std::function<SearchResult(SearchContext&, std::string_view)> listCities;
  std::function<bool(SearchContext&, PostFile)> checkPostIndex;
};
SearchCalls EngineSearchCalls();

class MainDialog : public QObject, public SearchView {
  Q_OBJECT

 public:
  MainDialog(Settings& settings, std::string program_dir,
             SearchCalls calls = EngineSearchCalls());
  ~MainDialog() override;

  QDialog* dialog() const { return dialog_.get(); }
  QTableView* resultList() const { return list_; }
  ResultModel* results() const { return model_; }
  ResultList* resultColumns() const { return result_list_; }
  QLabel* statusLine() const { return status_; }
  HelpWindow* helpWindow() const { return help_.get(); }
  bool quitDone() const { return quit_done_; }

  // Shows the dialog at the stored rectangle and posts 1003, 40004, 40007.
  void Start();
  // Runs a command as the dialog procedure would (button, menu, or posted).
  void Command(int id);

  // SearchView.
  void AddRow(ResultRow row) override;
  void SetProgressRange(int low, int high) override;
  void SetProgressStep(int step) override;
  void StepProgress() override;
  void SetProgressPos(int pos) override;
  bool SelectPrefecture(const std::string& name) override;
  void ClearCities() override;
  void AddCity(const std::string& city) override;
  void SetWorkList(const std::vector<std::string>& sorted_names) override;

  // The dialog's own state, which the searches receive as arguments.
  std::string SelectedPrefecture();
  Business BusinessData();
  // The hidden work list (id 1022) item by item: sorted, each item once.
  void ClearWorkList();
  void AddWorkItem(const std::string& item);
  int WorkItemCount();
  std::string WorkItem(int index);
  void ShowMessage(const std::string& text, const std::string& caption) override;
  void ShowIndexNotice() override;
  void HideIndexNotice() override;

 signals:
  // The quit command has run: settings saved, window gone. The event loop should end.
  void quitRequested();

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;

  void Initialise();
  void ApplyEnablingRules(int mode);
  void OnSearchTextChanged();
  void Search();
  void BeginFill();
  void EndFill();
  void BrowseFromFirstPrefecture();
  void OnPrefectureChanged();
  void OnCityChanged();
  void CheckIndex(PostFile file);
  void CopyClickedResult();
  void PlaceResultList();
  void StoreWindowRect();
  void PlaceWindow(WindowRect rect);
  void PlaceAgainOnceFramed();
  void Quit();
  void ShowHelp();
  int CheckedId(int groupMember) const;
  bool IsChecked(int id) const;
  void Post(std::function<void()> work);
  void ScheduleDrain();
  void RunGuarded(const std::function<void()>& work);
  void RunCommand(int id);
  void ListCities();
  void ListCityRows();

  Settings& settings_;
  const Settings loaded_;  // as read at start: a save stores only what changed since
  std::string program_dir_;
  SearchCalls calls_;
  SearchContext context_;
  std::unique_ptr<QDialog> dialog_;
  QTableView* list_ = nullptr;
  QWidget* client_ = nullptr;
  QWidget* list_viewport_ = nullptr;
  ResultModel* model_ = nullptr;
  ResultList* result_list_ = nullptr;  // owned by the list
  QLabel* status_ = nullptr;           // under the list: rows found and their files
  std::unique_ptr<IndexNotice> notice_;
  std::unique_ptr<HelpWindow> help_;
  std::vector<std::string> work_list_;
  int progress_step_ = 10;
  bool quit_done_ = false;
  bool placing_ = false;
  std::optional<WindowRect> unframed_place_;
  bool busy_ = false;
  bool drain_scheduled_ = false;
  std::deque<std::function<void()>> posted_;
};

}  // namespace tovra
