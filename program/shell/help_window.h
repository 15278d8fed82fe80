// The program's help: HTML pages in the program folder's help/, shown in a window of the
// program (there is no platform help viewer here). A missing page is reported in the window.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace tovra {

class HelpWindow : public QWidget {
 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows `page` (a file path) and brings the window forward.
  void ShowPage(const QString& page);
  // The page shown, or empty; and whether it was found.
  QString CurrentPage() const { return current_; }
  bool PageFound() const { return found_; }
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
  QString current_;
  bool found_ = false;
};

// "<program dir>help/index.html".
QString HelpIndexPath(const std::string& program_dir);

}  // namespace tovra
