// Icon 102: a postal mark on a rounded tile with a small call badge, drawn in code so that it is
// sharp at every size the window system asks for.
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "resources.h"

namespace tovra::res {
namespace {

void PaintProgramIcon(QPainter& p, const QRectF& r) {
  p.setRenderHint(QPainter::Antialiasing);
  const double s = std::min(r.width(), r.height());
  const QPointF o = r.topLeft();
  auto at = [&](double x, double y) { return o + QPointF(x * s, y * s); };

  // Tile.
  QLinearGradient tile(at(0, 0), at(0, 1));
  tile.setColorAt(0, QColor(0x2f, 0x8f, 0x9d));
  tile.setColorAt(1, QColor(0x1b, 0x5e, 0x74));
  p.setPen(QPen(QColor(0x12, 0x42, 0x52), std::max(1.0, s / 32)));
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(at(0.04, 0.04), at(0.96, 0.96)), s * 0.18, s * 0.18);

  // Postal mark: two bars and a stem.
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(at(0.20, 0.18), at(0.70, 0.28)));
  p.drawRect(QRectF(at(0.20, 0.38), at(0.70, 0.48)));
  p.drawRect(QRectF(at(0.40, 0.48), at(0.50, 0.82)));

  // Call badge: an orange disc with two signal arcs.
  p.setBrush(QColor(0xf2, 0x8c, 0x28));
  p.setPen(QPen(Qt::white, std::max(1.0, s / 32)));
  p.drawEllipse(QRectF(at(0.56, 0.56), at(0.94, 0.94)));
  QPen arc(Qt::white, std::max(1.0, s * 0.045));
  arc.setCapStyle(Qt::RoundCap);
  p.setPen(arc);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(at(0.63, 0.63), at(0.81, 0.81)), 0 * 16, 90 * 16);
  p.drawArc(QRectF(at(0.63, 0.63), at(0.89, 0.89)).translated(-0.04 * s, -0.04 * s), 0 * 16,
            90 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(at(0.64, 0.78), at(0.70, 0.84)));
}

class ProgramIconEngine : public QIconEngine {
 public:
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    if (mode == QIcon::Disabled) painter->setOpacity(0.4);
    PaintProgramIcon(*painter, rect);
    painter->restore();
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paint(&p, QRect(QPoint(0, 0), size), mode, state);
    return pm;
  }
  QIconEngine* clone() const override { return new ProgramIconEngine; }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {256, 256}};
  }
};

}  // namespace

QIcon ProgramIcon() { return QIcon(new ProgramIconEngine); }

QIcon IconResource(int id) { return id == kIconId ? ProgramIcon() : QIcon(); }

}  // namespace tovra::res
