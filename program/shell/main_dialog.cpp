#include "main_dialog.h"

#include <algorithm>
#include <array>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>

#include "characters_data.h"
#include "cp932.h"
#include "help_window.h"
#include "key_fold.h"
#include "message_box.h"
#include "post_index.h"
#include "post_line.h"  // kFieldMax: the output fields hold one field's bytes each
#include "qt_text.h"
#include "resources.h"
#include "resolve_dialog.h"
#include "result_list.h"
#include "result_model.h"
#include "result_status.h"
#include "secondary_dialogs.h"
#include "shell_texts.h"
#include "template_builder.h"

namespace tovra {
namespace {

using namespace res;

constexpr std::size_t kJoinedMax = 511;  // the output fields are joined in 512 bytes

// Which controls each search mode enables; the other mode-dependent controls are disabled.
constexpr int kModeDependent[] = {kSearchText,       kPrefectureList,   kCityList,
                                  kPostCodeExact,    kPostCodePrefix,   kPostCodeContains,
                                  kAreaShowPostal,   kAreaShowDistricts, kAddressExact,
                                  kAddressContains};
struct EnablingRule {
  int mode;
  std::array<int, 4> enabled;  // 0 = unused
};
constexpr EnablingRule kEnablingRules[] = {
    {kModeBrowse, {kPrefectureList, kCityList, 0, 0}},
    {kModePostCode, {kSearchText, kPostCodeExact, kPostCodePrefix, kPostCodeContains}},
    {kModeAreaCode, {kSearchText, kAreaShowPostal, kAreaShowDistricts, 0}},
    {kModeAddress, {kSearchText, kAddressExact, kAddressContains, 0}},
    {kModeDantai, {kSearchText, 0, 0, 0}},
};

// Original pixel figures of the layout, made for 1.5 px per dialog unit.
constexpr int kListLeft = 8;
constexpr int kListTop = 230;
constexpr int kListRightMargin = 15;
constexpr int kListBottomMargin = 236;
constexpr int kMinWidth = 556;
constexpr int kMinHeight = 470;

std::string Cut(std::string_view text, std::size_t max) {
  return std::string(text.substr(0, cp932::BoundaryAtOrBefore(text, max)));
}

PostCodeMatch PostCodeMatchMode(int checkedId) {
  if (checkedId == kPostCodePrefix) return PostCodeMatch::kPrefix;
  if (checkedId == kPostCodeContains) return PostCodeMatch::kContains;
  return PostCodeMatch::kExact;
}

}  // namespace

SearchCalls EngineSearchCalls() {
  SearchCalls calls;
  calls.findPostCode = FindPostCode;
  calls.findWords = FindWords;
  calls.findDantai = FindDantai;
  calls.findAreaCode = FindAreaCode;
  calls.findCityRows = FindCityRows;
  calls.listCities = ListCities;
  calls.checkPostIndex = [](SearchContext& c, PostFile f) { return CheckPostIndex(c, f); };
  return calls;
}

MainDialog::MainDialog(Settings& settings, std::string program_dir, SearchCalls calls)
    : settings_(settings),
      loaded_(settings),
      program_dir_(std::move(program_dir)),
      calls_(std::move(calls)),
      context_{*this, settings_} {
  const auto menu = MainMenu();
  dialog_.reset(ui::BuildDialog(kMainDialog, nullptr, menu.data(), static_cast<int>(menu.size())));
  list_ = ui::ControlAs<QTableView>(dialog_.get(), kResultList);
  model_ = new ResultModel(this);
  list_->setModel(model_);
  Initialise();
}

MainDialog::~MainDialog() {
  notice_.reset();
  help_.reset();
  // The widgets outlive this body; their last events must not reach a half-destroyed filter.
  dialog_->removeEventFilter(this);
  client_->removeEventFilter(this);
  list_viewport_->removeEventFilter(this);
}

void MainDialog::Initialise() {
  QDialog* d = dialog_.get();
  d->setWindowIcon(ProgramIcon());

  auto* prefectures = ui::ControlAs<QComboBox>(d, kPrefectureList);
  for (std::string_view name : PrefectureNames()) {
    prefectures->addItem(ToQString(name), QByteArray(name.data(), static_cast<int>(name.size())));
  }
  prefectures->setCurrentIndex(-1);

  // Stored widths are pixels of the original font, like the rest of the layout figures.
  result_list_ = new ResultList(list_);
  result_list_->RestoreWidths(settings_.column_width);

  ui::ControlAs<QRadioButton>(d, kModePostCode)->setChecked(true);
  ui::ControlAs<QRadioButton>(d, kPostCodeExact)->setChecked(true);
  ui::ControlAs<QRadioButton>(d, kAddressExact)->setChecked(true);
  ui::ControlAs<QRadioButton>(d, kAreaShowPostal)->setChecked(true);

  connect(ui::RadioGroup(d, kModeBrowse), &QButtonGroup::idClicked, this,
          [this](int id) { Command(id); });
  connect(ui::ControlAs<QPushButton>(d, kIdOk), &QPushButton::clicked, this,
          [this] { Command(kIdOk); });
  connect(ui::ControlAs<QLineEdit>(d, kSearchText), &QLineEdit::textChanged, this,
          [this] { OnSearchTextChanged(); });
  connect(prefectures, &QComboBox::activated, this, [this] { OnPrefectureChanged(); });
  connect(ui::ControlAs<QComboBox>(d, kCityList), &QComboBox::activated, this,
          [this] { OnCityChanged(); });
  connect(d->findChild<QMenuBar*>(), &QMenuBar::triggered, this,
          [this](QAction* action) { Command(action->data().toInt()); });

  client_ = ui::ClientArea(d);
  status_ = new QLabel(client_);
  status_->setObjectName(QStringLiteral("status"));
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  list_viewport_ = list_->viewport();
  d->installEventFilter(this);
  client_->installEventFilter(this);
  list_viewport_->installEventFilter(this);
}

void MainDialog::Start() {
  // Placed before showing, so that it does not open centred; placed again once shown, when
  // the window frame's size is known.
  const WindowRect stored = settings_.window;
  placing_ = true;
  PlaceWindow(stored);
  dialog_->show();
  PlaceWindow(stored);
  placing_ = false;
  // A window manager adds its frame only after the window is mapped; until then the frame's
  // size is unknown and the stored outer rectangle cannot be met exactly.
  if (dialog_->frameGeometry().size() == dialog_->size()) unframed_place_ = stored;
  StoreWindowRect();
  PlaceResultList();
  Post([this] { Command(kModePostCode); });
  Post([this] { Command(kCmdCheckKenAllIndex); });
  Post([this] { Command(kCmdCheckJigyosyoIndex); });
}

// Posted work runs from the event loop in posting order, never inside other work: the index
// notice lets the loop paint it while a build runs, and that must not start the next command.
void MainDialog::Post(std::function<void()> work) {
  posted_.push_back(std::move(work));
  ScheduleDrain();
}

void MainDialog::ScheduleDrain() {
  if (drain_scheduled_) return;
  drain_scheduled_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        drain_scheduled_ = false;
        while (!busy_ && !posted_.empty()) {
          std::function<void()> work = std::move(posted_.front());
          posted_.pop_front();
          RunGuarded(work);
        }
      },
      Qt::QueuedConnection);
}

void MainDialog::RunGuarded(const std::function<void()>& work) {
  const bool outer = !busy_;
  busy_ = true;
  work();
  if (outer) {
    busy_ = false;
    if (!posted_.empty()) ScheduleDrain();
  }
}

void MainDialog::Command(int id) {
  RunGuarded([this, id] { RunCommand(id); });
}

void MainDialog::RunCommand(int id) {
  if (quit_done_) return;
  switch (id) {
    case kIdOk: Search(); break;
    case kIdCancel:
    case kCmdQuit: Quit(); break;
    case kModePostCode:
    case kModeAreaCode:
    case kModeAddress:
    case kModeDantai:
      ApplyEnablingRules(id);
      OnSearchTextChanged();  // what counts as a key depends on the mode
      break;
    case kModeBrowse: BrowseFromFirstPrefecture(); break;
    case kCmdAbout: RunAboutDialog(dialog_.get()); break;
    case kCmdHelp: ShowHelp(); break;
    case kCmdCheckKenAllIndex: CheckIndex(PostFile::kKenAll); break;
    case kCmdSettings: RunSettingsDialog(dialog_.get(), settings_); break;
    case kCmdSpecialNumbers: RunSpecialNumbersDialog(dialog_.get()); break;
    case kCmdCheckJigyosyoIndex: CheckIndex(PostFile::kJigyosyo); break;
    case kCmdResolve:
      // A double-clicked resolution: its postal code's rows, as an exact postal-code search.
      if (const QString code = RunResolveDialog(dialog_.get(), settings_); !code.isEmpty()) {
        ui::ControlAs<QRadioButton>(dialog_.get(), kModePostCode)->setChecked(true);
        ui::ControlAs<QRadioButton>(dialog_.get(), kPostCodeExact)->setChecked(true);
        ui::ControlAs<QLineEdit>(dialog_.get(), kSearchText)->setText(code);
        RunCommand(kModePostCode);
        RunCommand(kIdOk);
      }
      break;
    default: break;
  }
}

// --- Form ------------------------------------------------------------------------------------

void MainDialog::ApplyEnablingRules(int mode) {
  for (const EnablingRule& rule : kEnablingRules) {
    if (rule.mode != mode) continue;
    for (int id : kModeDependent) {
      const bool on = std::find(rule.enabled.begin(), rule.enabled.end(), id) != rule.enabled.end();
      ui::Control(dialog_.get(), id)->setEnabled(on);
    }
  }
}

// 検索 is enabled while the text holds something to search for once the engine has folded it:
// blanks, "〒" or "+" alone are no key. Text that CP932 cannot hold enables it, so that the
// search can say why it cannot run.
void MainDialog::OnSearchTextChanged() {
  const QString typed = ui::ControlAs<QLineEdit>(dialog_.get(), kSearchText)->text();
  const std::optional<std::string> text = ToCp932(typed);
  KeyKind kind = KeyKind::kWords;
  if (IsChecked(kModePostCode)) kind = KeyKind::kPostCode;
  if (IsChecked(kModeAreaCode)) kind = KeyKind::kAreaCode;
  if (IsChecked(kModeDantai)) kind = KeyKind::kDantai;
  const bool any = !typed.isEmpty() && (!text || IsSearchKey(kind, *text));
  ui::Control(dialog_.get(), kIdOk)->setEnabled(any);
}

bool MainDialog::IsChecked(int id) const {
  auto* button = ui::ControlAs<QAbstractButton>(dialog_.get(), id);
  return button && button->isChecked();
}

int MainDialog::CheckedId(int groupMember) const {
  QButtonGroup* group = ui::RadioGroup(dialog_.get(), groupMember);
  return group ? group->checkedId() : -1;
}

// --- Searches ---------------------------------------------------------------------------------

// Sorting and showing a list of a hundred thousand rows takes a while after the progress bar
// has finished: the busy cursor stays until the list is shown.
void MainDialog::BeginFill() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  list_->hide();
  model_->Clear();
  model_->BeginBatch();
  status_->clear();
}

// Every new list opens at its first row and its first column.
void MainDialog::EndFill() {
  model_->EndBatch();
  list_->scrollToTop();
  list_->horizontalScrollBar()->setValue(list_->horizontalScrollBar()->minimum());
  list_->show();
  status_->setText(ResultStatusText(CountRowSources(*model_), settings_.ken_all_path, settings_.jigyosyo_path));
  QApplication::restoreOverrideCursor();
}

void MainDialog::Search() {
  BeginFill();
  static constexpr int kSearchOrder[] = {kModeAddress, kModePostCode, kModeAreaCode, kModeDantai};
  const int* mode = std::find_if(std::begin(kSearchOrder), std::end(kSearchOrder),
                                 [this](int id) { return IsChecked(id); });
  if (mode != std::end(kSearchOrder)) {
    const QString typed = ui::ControlAs<QLineEdit>(dialog_.get(), kSearchText)->text();
    const std::optional<std::string> text = ToCp932(typed);
    if (!text) {
      ShowMessage(shell_text::kUnusableKeyCharacters, shell_text::kMessageCaption);
    } else {
      const std::string& key = *text;
      switch (*mode) {
        case kModeAddress:
          calls_.findWords(context_, key,
                           CheckedId(kAddressExact) == kAddressContains ? WordMatch::kContains : WordMatch::kExact,
                           BusinessData());
          break;
        case kModePostCode:
          calls_.findPostCode(context_, key, PostCodeMatchMode(CheckedId(kPostCodeExact)), BusinessData());
          break;
        case kModeAreaCode:
          calls_.findAreaCode(context_, key,
                              CheckedId(kAreaShowPostal) == kAreaShowDistricts ? AreaDisplay::kDistricts
                                                                               : AreaDisplay::kPostal,
                              BusinessData());
          break;
        case kModeDantai: calls_.findDantai(context_, key, BusinessData()); break;
      }
    }
  }
  EndFill();
}

void MainDialog::BrowseFromFirstPrefecture() {
  ui::ControlAs<QComboBox>(dialog_.get(), kPrefectureList)->setCurrentIndex(0);
  Post([this] { OnPrefectureChanged(); });
  ApplyEnablingRules(kModeBrowse);
}

void MainDialog::OnPrefectureChanged() {
  RunGuarded([this] { ListCities(); });
}

void MainDialog::ListCities() {
  ClearCities();
  const std::string prefecture = SelectedPrefecture();
  calls_.listCities(context_, prefecture);
  auto* cities = ui::ControlAs<QComboBox>(dialog_.get(), kCityList);
  cities->setCurrentIndex(cities->count() > 0 ? 0 : -1);
  Post([this] { OnCityChanged(); });
}

void MainDialog::OnCityChanged() {
  RunGuarded([this] { ListCityRows(); });
}

void MainDialog::ListCityRows() {
  BeginFill();
  auto* cities = ui::ControlAs<QComboBox>(dialog_.get(), kCityList);
  // An empty city list names no city: nothing to search, the list stays empty.
  if (cities->currentIndex() >= 0) {
    const QByteArray city = cities->currentData().toByteArray();
    const std::string name(city.constData(), static_cast<std::size_t>(city.size()));
    const std::string prefecture = SelectedPrefecture();
    calls_.findCityRows(context_, prefecture, name, BusinessData());
  }
  EndFill();
}

void MainDialog::CheckIndex(PostFile file) {
  const bool exists = calls_.checkPostIndex(context_, file);
  if (file == PostFile::kJigyosyo && exists) {
    auto* use = ui::ControlAs<QCheckBox>(dialog_.get(), kUseBusinessData);
    use->setChecked(true);
    use->setEnabled(true);
  }
}

// --- Result list and output fields -------------------------------------------------------------

void MainDialog::CopyClickedResult() {
  const QModelIndexList selected = list_->selectionModel()->selectedRows();
  if (selected.isEmpty()) return;
  int first = selected.front().row();
  for (const QModelIndex& index : selected) first = std::min(first, index.row());
  const ResultRow& row = model_->Row(first);
  auto column = [&row](int c) { return Cut(row.columns[c], kFieldMax); };

  const std::string reading =
      column(kColPrefectureKana) + column(kColCityKana) + column(kColTownKana) +
      column(kColBusinessKana);
  std::string address = character::kPostMark + column(kColPostCode) + " " + column(kColPrefecture) +
                        column(kColCity) + column(kColTown);
  const std::string business = column(kColBusiness);
  if (!business.empty()) address += character::kFullSpace + business;

  QDialog* d = dialog_.get();
  // Shown from the start ("〒" and the code), not scrolled to the cursor at the end; the
  // tooltip holds the whole text where the field is too narrow (局番 cannot be scrolled).
  auto show = [d](int id, const std::string& text) {
    auto* field = ui::ControlAs<QLineEdit>(d, id);
    field->setText(ToQString(text));
    field->setCursorPosition(0);
    field->setToolTip(field->text());
  };
  show(kReadingField, Cut(reading, kJoinedMax));
  show(kAddressField, Cut(address, kJoinedMax));
  show(kAreaCodeField, column(kColAreaCode));
}

// --- Geometry ---------------------------------------------------------------------------------

// The status line takes one line of text off the bottom of the list's place.
void MainDialog::PlaceResultList() {
  const QWidget* client = ui::ClientArea(dialog_.get());
  const QFont& font = dialog_->font();
  const int x = ui::ScaleOriginalPixelsX(font, kListLeft);
  const int y = ui::ScaleOriginalPixelsY(font, kListTop);
  const int w = std::max(0, client->width() - ui::ScaleOriginalPixelsX(font, kListRightMargin));
  const int status_height = status_->fontMetrics().height() + 4;
  const int h = client->height() - ui::ScaleOriginalPixelsY(font, kListBottomMargin) - status_height;
  list_->setGeometry(x, y, w, std::max(0, h));
  status_->setGeometry(x, y + std::max(0, h), w, status_height);
}

// Once the frame has arrived, the stored rectangle is met again, so that the window keeps its
// size from start to start instead of growing by the frame each time.
void MainDialog::PlaceAgainOnceFramed() {
  if (!unframed_place_ || placing_ || dialog_->frameGeometry().size() == dialog_->size()) return;
  const WindowRect rect = *unframed_place_;
  unframed_place_.reset();
  placing_ = true;
  PlaceWindow(rect);
  placing_ = false;
}

void MainDialog::StoreWindowRect() {
  PlaceAgainOnceFramed();
  if (placing_ || !dialog_->isVisible() || dialog_->isMinimized()) return;
  const QRect r = dialog_->frameGeometry();
  settings_.window = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// A damaged or hand-edited settings file may hold any 32-bit numbers; sizes are differences of
// them and must not overflow. Such a rectangle fits no screen anyway.
static bool Placeable(const WindowRect& r) {
  constexpr std::int32_t kFar = 1 << 20;
  auto near = [](std::int32_t v) { return v > -kFar && v < kFar; };
  return near(r.left) && near(r.top) && near(r.right) && near(r.bottom);
}

void MainDialog::PlaceWindow(WindowRect rect) {
  const QFont& font = dialog_->font();
  // The default rectangle is given for the original font; the stored ones are this screen's.
  const WindowRect original{};
  if (!Placeable(rect)) rect = original;
  if (rect.left == original.left && rect.top == original.top && rect.right == original.right &&
      rect.bottom == original.bottom) {
    rect.right = rect.left + ui::ScaleOriginalPixelsX(font, original.right - original.left);
    rect.bottom = rect.top + ui::ScaleOriginalPixelsY(font, original.bottom - original.top);
  }
  const QSize frame = dialog_->frameGeometry().size() - dialog_->size();
  dialog_->setMinimumSize(ui::ScaleOriginalPixelsX(font, kMinWidth) - frame.width(),
                          ui::ScaleOriginalPixelsY(font, kMinHeight) - frame.height());
  dialog_->move(rect.left, rect.top);
  dialog_->resize(rect.right - rect.left - frame.width(), rect.bottom - rect.top - frame.height());
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == dialog_.get()) {
    switch (event->type()) {
      case QEvent::Close:
        event->ignore();
        Command(kIdCancel);
        return true;
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
          Command(kIdCancel);
          return true;
        }
        break;
      case QEvent::Move: StoreWindowRect(); break;
      default: break;
    }
  } else if (watched == client_) {
    if (event->type() == QEvent::Resize) {
      PlaceResultList();
      StoreWindowRect();
    }
  } else if (watched == list_viewport_ && event->type() == QEvent::MouseButtonRelease) {
    // Like the list view's click notification: after the click has changed the selection.
    QMetaObject::invokeMethod(this, [this] { CopyClickedResult(); }, Qt::QueuedConnection);
  }
  return QObject::eventFilter(watched, event);
}

// --- Quit and help ------------------------------------------------------------------------------

void MainDialog::ShowHelp() {
  if (!help_) help_ = std::make_unique<HelpWindow>();
  help_->ShowPage(HelpIndexPath(program_dir_));
}

void MainDialog::Quit() {
  help_.reset();
  StoreWindowRect();
  settings_.column_width = result_list_->Widths();
  std::string message;
  SaveSettings(SettingsPath(program_dir_), settings_, &message, ChangedSettingsParts(loaded_, settings_));
  if (!message.empty()) ShowMessage(message, shell_text::kMessageCaption);
  quit_done_ = true;
  dialog_->hide();
  emit quitRequested();
}

// --- The port -----------------------------------------------------------------------------------

void MainDialog::AddRow(ResultRow row) { model_->AddRow(std::move(row)); }

void MainDialog::SetProgressRange(int low, int high) {
  auto* bar = ui::ControlAs<QProgressBar>(dialog_.get(), kProgressBar);
  bar->setRange(low, std::max(low, high));
  bar->setValue(low);
  bar->repaint();
}

void MainDialog::SetProgressStep(int step) { progress_step_ = step; }

void MainDialog::StepProgress() {
  auto* bar = ui::ControlAs<QProgressBar>(dialog_.get(), kProgressBar);
  int next = bar->value() + progress_step_;
  // Stepping past the end starts over, as the original control does.
  if (next > bar->maximum()) next = bar->minimum() + (next - bar->maximum());
  SetProgressPos(next);
}

void MainDialog::SetProgressPos(int pos) {
  auto* bar = ui::ControlAs<QProgressBar>(dialog_.get(), kProgressBar);
  pos = std::clamp(pos, bar->minimum(), bar->maximum());
  if (pos == bar->value()) return;
  bar->setValue(pos);
  // Searches run without serving the event loop; only the bar is painted meanwhile.
  if (bar->isVisible()) bar->repaint();
}

std::string MainDialog::SelectedPrefecture() {
  const QByteArray name =
      ui::ControlAs<QComboBox>(dialog_.get(), kPrefectureList)->currentData().toByteArray();
  return std::string(name.constData(), static_cast<std::size_t>(name.size()));
}

bool MainDialog::SelectPrefecture(const std::string& name) {
  auto* prefectures = ui::ControlAs<QComboBox>(dialog_.get(), kPrefectureList);
  const int at = prefectures->findData(QByteArray(name.data(), static_cast<int>(name.size())));
  if (at < 0) return false;
  prefectures->setCurrentIndex(at);
  return true;
}

void MainDialog::ClearCities() { ui::ControlAs<QComboBox>(dialog_.get(), kCityList)->clear(); }

void MainDialog::AddCity(const std::string& city) {
  auto* cities = ui::ControlAs<QComboBox>(dialog_.get(), kCityList);
  cities->addItem(ToQString(city), QByteArray(city.data(), static_cast<int>(city.size())));
  if (cities->count() == 1) cities->setCurrentIndex(-1);
}

void MainDialog::ClearWorkList() {
  work_list_.clear();
  ui::ControlAs<QComboBox>(dialog_.get(), kWorkList)->clear();
}

void MainDialog::AddWorkItem(const std::string& item) {
  const int position = InsertWorkItem(work_list_, item);
  if (position < 0) return;
  ui::ControlAs<QComboBox>(dialog_.get(), kWorkList)->insertItem(position, ToQString(item));
}

void MainDialog::SetWorkList(const std::vector<std::string>& sorted_names) {
  ClearWorkList();
  for (const std::string& name : sorted_names) AddWorkItem(name);
}

int MainDialog::WorkItemCount() { return static_cast<int>(work_list_.size()); }

std::string MainDialog::WorkItem(int index) {
  if (index < 0 || index >= WorkItemCount()) return {};
  return work_list_[static_cast<std::size_t>(index)];
}

Business MainDialog::BusinessData() {
  return IsChecked(kUseBusinessData) ? Business::kInclude : Business::kLeaveOut;
}

void MainDialog::ShowMessage(const std::string& text, const std::string& caption) {
  // A message that comes during a fill is answered with the arrow, not the busy cursor.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::restoreOverrideCursor();
  ui::ShowMessageBox({dialog_.get(), ToQString(text), ToQString(caption), ui::MessageIcon::kNone});
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainDialog::ShowIndexNotice() { notice_ = std::make_unique<IndexNotice>(dialog_.get()); }

void MainDialog::HideIndexNotice() { notice_.reset(); }

}  // namespace tovra
