// The one open distance dialog of a process: its state lives with the library, so a second
// dialog (from another thread, or re-entering from the first one's event loop) is refused.
#pragma once

#include <atomic>

namespace meklan_dialog {

inline std::atomic<bool> g_dialog_open{false};

// Held for the life of one dialog; taken() is false when another dialog holds the slot.
class DialogSlot {
 public:
  DialogSlot() : taken_(!g_dialog_open.exchange(true)) {}
  ~DialogSlot() {
    if (taken_) g_dialog_open.store(false);
  }
  DialogSlot(const DialogSlot&) = delete;
  DialogSlot& operator=(const DialogSlot&) = delete;
  bool taken() const { return taken_; }

 private:
  bool taken_;
};

}  // namespace meklan_dialog
