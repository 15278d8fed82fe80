#include "message_box.h"

#include <QMessageBox>

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

}  // namespace

void ShowMessageBox(const MessageBoxRequest& request) {
  if (Hook()) {
    Hook()(request);
    return;
  }
  // The original platform's box without a caption says "エラー".
  const QString caption = request.caption.isEmpty() ? QStringLiteral("エラー") : request.caption;
  QMessageBox box(ToQtIcon(request.icon), caption, request.text, QMessageBox::Ok, request.owner);
  box.exec();
}

void SetMessageBoxHook(std::function<void(const MessageBoxRequest&)> hook) {
  Hook() = std::move(hook);
}

}  // namespace ui
