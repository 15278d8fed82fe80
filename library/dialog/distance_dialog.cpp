#include "distance_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <optional>
#include <string>

#include "cp932.h"
#include "distance_dialog_template.h"
#include "distance_text.h"
#include "message_box.h"
#include "template_builder.h"

namespace meklan_dialog {
namespace {

// What the dialog works on while it is open.
struct DialogState {
  QDialog* dialog;
  MKDISTANCE* rec;
  int showMessage;
  const MeklanDialogLibrary* library;
  int result;      // what the dialog closes with after a success
  bool finishing;  // a success has been reached; the close is on its way
};

void ShowBox(const DialogState& s, const char* textUtf8) {
  ui::ShowMessageBox({s.dialog, QString::fromUtf8(textUtf8), QString::fromUtf8(kMessageCaption),
                      ui::MessageIcon::kNone});
}

// An edit's text as CP932, cut to maxBytes on a character boundary; nullopt when it holds a
// character that CP932 cannot carry, since such a text names no MA.
std::optional<std::string> EditText(const DialogState& s, int editId, std::size_t maxBytes) {
  const auto* edit = ui::ControlAs<QLineEdit>(s.dialog, editId);
  std::optional<std::string> text = cp932::FromUtf8(edit->text().toStdString());
  if (text) text->resize(cp932::BoundaryAtOrBefore(*text, maxBytes));
  return text;
}

// Refills the candidate list under an edit from what the edit holds.
void FillCandidates(const DialogState& s, int editId) {
  const std::optional<std::string> key = EditText(s, editId, kKeyMaxBytes);
  // "0" alone is the first keystroke of almost every area code: it would list every MA,
  // so the list stays as it is until more is typed.
  if (key && *key == "0") return;
  QStringList items;
  if (key) {
    char list[MEKLAN_MALIST_SIZE] = "";
    s.library->getMa(key->empty() ? "0" : key->c_str(), list, -1);  // empty: every MA
    for (const std::string& name : DistinctNames(list)) {
      items << QString::fromStdString(cp932::ToUtf8(name));
    }
  }
  auto* combo = ui::ControlAs<QComboBox>(s.dialog, editId + kListIdOffset);
  combo->clear();
  combo->addItems(items);
  // A single candidate is shown chosen; otherwise nothing is, until the user picks one.
  combo->setCurrentIndex(items.size() == 1 ? 0 : -1);
}

// Sets an edit's text and, as the original edit control did, always reacts as to a change,
// even when the text stays the same.
void SetEditText(const DialogState& s, int editId, const QString& text) {
  auto* edit = ui::ControlAs<QLineEdit>(s.dialog, editId);
  if (edit->text() == text) {
    FillCandidates(s, editId);
  } else {
    edit->setText(text);  // textChanged refills the list
  }
}

void OnCandidateChosen(const DialogState& s, int listId, int index) {
  const auto* combo = ui::ControlAs<QComboBox>(s.dialog, listId);
  const QString name = combo->itemText(index);
  if (!name.isEmpty()) SetEditText(s, listId - kListIdOffset, name);
}

void Compute(DialogState& s) {
  if (s.finishing) return;
  const std::optional<std::string> from = EditText(s, kIdFromEdit, kEndMaxBytes);
  const std::optional<std::string> to = EditText(s, kIdToEdit, kEndMaxBytes);
  if (!from || !to) {
    ShowBox(s, kNotFoundMessage);
    return;
  }
  StoreField(s.rec->fromName, *from);
  StoreField(s.rec->toName, *to);
  if (s.library->getDistance(s.rec) != 1) {
    ShowBox(s, kNotFoundMessage);  // whatever showMessage says: the user must learn why
    return;
  }
  const DistanceOutcome outcome = DescribeDistance(*s.rec);
  s.result = outcome.result;
  s.finishing = true;
  if (s.showMessage == 1) ShowBox(s, outcome.message.c_str());
  // Closed through the event loop, as with the OK command the original posted to itself;
  // a cancel that got there first keeps its -1.
  QDialog* dialog = s.dialog;
  QMetaObject::invokeMethod(
      dialog, [dialog] { if (dialog->isVisible()) dialog->accept(); }, Qt::QueuedConnection);
}

void Connect(DialogState& s) {
  for (const int editId : {kIdFromEdit, kIdToEdit}) {
    auto* edit = ui::ControlAs<QLineEdit>(s.dialog, editId);
    QObject::connect(edit, &QLineEdit::textChanged, s.dialog,
                     [&s, editId] { FillCandidates(s, editId); });
    auto* combo = ui::ControlAs<QComboBox>(s.dialog, editId + kListIdOffset);
    QObject::connect(combo, &QComboBox::activated, s.dialog,
                     [&s, listId = editId + kListIdOffset](int index) {
                       OnCandidateChosen(s, listId, index);
                     });
  }
  QObject::connect(ui::ControlAs<QPushButton>(s.dialog, kIdCompute), &QPushButton::clicked,
                   s.dialog, [&s] { Compute(s); });
  QObject::connect(ui::ControlAs<QPushButton>(s.dialog, kIdCancel), &QPushButton::clicked,
                   s.dialog, &QDialog::reject);
}

void Initialise(DialogState& s) {
  s.result = -1;
  SetEditText(s, kIdFromEdit, QString::fromStdString(cp932::ToUtf8(FieldText(s.rec->fromName))));
  SetEditText(s, kIdToEdit, QString::fromStdString(cp932::ToUtf8(FieldText(s.rec->toName))));
}

}  // namespace

int RunDistanceDialog(QWidget* owner, MKDISTANCE* rec, int showMessage,
                      const MeklanDialogLibrary& library,
                      const std::function<void(QDialog*)>& opened) {
  // Guarded rather than owned: closing the owner while the dialog is open deletes it.
  QPointer<QDialog> dialog = ui::BuildDialog(kDistanceDialogTemplate, owner);
  DialogState s{dialog, rec, showMessage, &library, -1, false};
  Connect(s);
  Initialise(s);
  if (opened) {
    QTimer::singleShot(0, dialog, [&opened, d = dialog.data()] { opened(d); });
  }
  // The close box and Escape reject the dialog like the CANCEL button.
  const int code = dialog->exec();
  const int result = (dialog && code == QDialog::Accepted) ? s.result : -1;
  delete dialog.data();
  return result;
}

}  // namespace meklan_dialog
