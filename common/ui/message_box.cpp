#include "message_box.h"

#include <algorithm>

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace ui {
namespace {

std::function<void(const MessageBoxRequest&)>& Hook() {
  static std::function<void(const MessageBoxRequest&)> hook;
  return hook;
}

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation: return QMessageBox::Information;
    case MessageIcon::kWarning: return QMessageBox::Warning;
    case MessageIcon::kError: return QMessageBox::Critical;
    case MessageIcon::kNone: break;
  }
  return QMessageBox::NoIcon;
}

constexpr int kMinimumWidth = 320;

int MessageBoxMinimumWidth(const QFontMetrics& fm, const QString& caption) {
  // Room for the caption beside the window manager's buttons; a box only as wide as a short
  // text gets its caption shortened to "...".
  return std::max(kMinimumWidth, fm.horizontalAdvance(caption) + 160);
}

void WidenMessageBox(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  // QMessageBox sizes itself from its layout and ignores a minimum width set on the box.
  const int width = MessageBoxMinimumWidth(box.fontMetrics(), box.windowTitle());
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

void ShowMessageBox(const MessageBoxRequest& request) {
  if (Hook()) {
    Hook()(request);
    return;
  }
  // The original platform's box without a caption says "エラー".
  const QString caption = request.caption.isEmpty() ? QStringLiteral("エラー") : request.caption;
  QMessageBox box(ToQtIcon(request.icon), caption, request.text, QMessageBox::Ok, request.owner);
  WidenMessageBox(box);
  box.exec();
}

void SetMessageBoxHook(std::function<void(const MessageBoxRequest&)> hook) {
  Hook() = std::move(hook);
}

}  // namespace ui
