#include "help_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "resources.h"

namespace tovra {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("help"));
  setWindowTitle(QStringLiteral("TOVRA ヘルプ"));
  setWindowIcon(res::ProgramIcon());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* tools = new QToolBar(this);
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  QAction* contents = tools->addAction(QStringLiteral("目次"));
  QAction* back = tools->addAction(QStringLiteral("戻る"));
  QAction* forward = tools->addAction(QStringLiteral("進む"));
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(contents, &QAction::triggered, browser_, &QTextBrowser::home);
  connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
  connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  layout->addWidget(tools);
  layout->addWidget(browser_);
  resize(640, 560);
}

void HelpWindow::ShowPage(const QString& page) {
  current_ = page;
  found_ = QFileInfo(page).isFile();
  if (found_) {
    // The pages' own style sheet, which the text browser does not fetch by itself.
    QFile css(QFileInfo(page).dir().filePath(QStringLiteral("style.css")));
    if (css.open(QIODevice::ReadOnly)) {
      browser_->document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));
    }
    browser_->setSource(QUrl::fromLocalFile(page));
  } else {
    browser_->clearHistory();
    browser_->setHtml(QStringLiteral("<h2>ヘルプファイルが見つかりません</h2><p>%1</p>"
                                     "<p>プログラムフォルダの help フォルダに"
                                     "ヘルプのページがあるか確かめてください。</p>")
                          .arg(page.toHtmlEscaped()));
  }
  show();
  raise();
  activateWindow();
}

QString HelpIndexPath(const std::string& program_dir) {
  return QString::fromStdString(program_dir) + QStringLiteral("help/index.html");
}

}  // namespace tovra
