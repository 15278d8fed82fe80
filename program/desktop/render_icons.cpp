// Renders icon 102 into a freedesktop icon theme tree at build time:
//   tovra-render-icons DIR  ->  DIR/hicolor/<N>x<N>/apps/tovra.png for every standard size.
// The icon is drawn in code (program/resources/icon.cpp); this keeps the installed PNGs the
// same picture as the window icon, with nothing committed that could drift from it.
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <cstdio>

#include "resources.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tovra-render-icons DIR\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  const QString root = QString::fromLocal8Bit(argv[1]);
  const QIcon icon = tovra::res::ProgramIcon();
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(size);
    const QString file = dir + QStringLiteral("/tovra.png");
    if (!QDir().mkpath(dir) || !icon.pixmap(size, size).save(file, "PNG")) {
      std::fprintf(stderr, "tovra-render-icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
