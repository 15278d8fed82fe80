// Every message box of the Qt front ends goes through ShowMessageBox, so that tests can
// intercept them (SetMessageBoxHook) instead of facing a modal box.
#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace ui {

enum class MessageIcon { kNone, kInformation, kWarning, kError };

struct MessageBoxRequest {
  QWidget* owner;
  QString text;
  QString caption;  // empty: the platform's default caption
  MessageIcon icon;
};

// Shows an OK-only message box (or hands it to the hook). Returns when it is closed.
void ShowMessageBox(const MessageBoxRequest& request);

// Tests install a hook that receives every request instead of a box; nullptr removes it.
void SetMessageBoxHook(std::function<void(const MessageBoxRequest&)> hook);

}  // namespace ui
