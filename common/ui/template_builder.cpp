#include "template_builder.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QPainter>
#include <qdrawutil.h>
#include <QPlainTextEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace ui {
namespace {

constexpr char kClientName[] = "client";
constexpr int kIconPixels = 32;  // a static icon shows the icon at its own size, not the rect's

std::function<QIcon(int)>& IconResolver() {
  static std::function<QIcon(int)> resolver;
  return resolver;
}

// Fonts the templates name and the installed faces that stand in for them.
struct FontSubstitute {
  const char* templateFace;
  const char* installedFace;
};
constexpr FontSubstitute kFontSubstitutes[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"MS Shell Dlg", "IPAPGothic"},
    {"MS Sans Serif", "IPAPGothic"},
};

QString InstalledFace(const char* face) {
  const QString wanted = QString::fromUtf8(face ? face : "");
  for (const FontSubstitute& s : kFontSubstitutes) {
    if (wanted == QString::fromUtf8(s.templateFace)) return QString::fromUtf8(s.installedFace);
  }
  return wanted.isEmpty() ? QStringLiteral("IPAPGothic") : wanted;
}

// Average character width and height in whole pixels, measured the way the original platform
// measured the dialog font (the Latin alphabet's width / 26, rounded).
struct BaseUnits {
  int cx;
  int cy;
};
BaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetricsF fm(font);
  const double alphabet =
      fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const int cx = std::max(1, (static_cast<int>(alphabet) / 26 + 1) / 2);
  const int cy = std::max(1, static_cast<int>(std::lround(fm.height())));
  return {cx, cy};
}

int MulDivRound(int value, int mul, int div) {
  return static_cast<int>(std::lround(static_cast<double>(value) * mul / div));
}

bool IsFocusable(ControlKind kind) {
  switch (kind) {
    case ControlKind::kStatic:
    case ControlKind::kIcon:
    case ControlKind::kGroupBox:
    case ControlKind::kProgress:
      return false;
    default:
      return true;
  }
}

Qt::Alignment LabelAlignment(std::uint32_t style) {
  if (style & kCenterText) return Qt::AlignHCenter | Qt::AlignTop;
  if (style & kRightText) return Qt::AlignRight | Qt::AlignTop;
  return Qt::AlignLeft | Qt::AlignTop;
}

QWidget* MakeLabel(const ControlTemplate& c, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(c.text ? c.text : ""), parent);
  label->setAlignment(LabelAlignment(c.style));
  label->setTextFormat(Qt::PlainText);
  return label;
}

QWidget* MakeIcon(const ControlTemplate& c, QWidget* parent) {
  auto* label = new QLabel(parent);
  const int iconId = QString::fromUtf8(c.text ? c.text : "").toInt();
  if (IconResolver()) {
    const QIcon icon = IconResolver()(iconId);
    if (!icon.isNull()) label->setPixmap(icon.pixmap(kIconPixels, kIconPixels));
  }
  label->setProperty("iconId", iconId);
  return label;
}

QWidget* MakeEdit(const ControlTemplate& c, QWidget* parent) {
  if (c.style & kMultiLine) {
    auto* text = new QPlainTextEdit(QString::fromUtf8(c.text ? c.text : ""), parent);
    text->setReadOnly(c.style & kReadOnly);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    return text;
  }
  auto* edit = new QLineEdit(QString::fromUtf8(c.text ? c.text : ""), parent);
  edit->setReadOnly(c.style & kReadOnly);
  return edit;
}

QWidget* MakeButton(const ControlTemplate& c, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(c.text ? c.text : ""), parent);
  button->setDefault(c.kind == ControlKind::kDefButton);
  return button;
}

QWidget* MakeCombo(const ControlTemplate& c, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(c.kind == ControlKind::kComboDropDown);
  // Styles that pop the list up as a menu (Fusion among them) ignore the visible-item count
  // and show every item, up to the whole screen; the template gives the list its height.
  combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
  combo->setProperty("sorted", static_cast<bool>(c.style & kSorted));
  return combo;
}

QWidget* MakeListBox(const ControlTemplate& c, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSortingEnabled(c.style & kSorted);
  // A list box scrolls when its items do not fit; the scroll bar shows only then.
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list->setUniformItemSizes(true);
  return list;
}

// A report-style list: Home and End go to the first and last row, as in other list views,
// rather than to the first and last column of the current row.
class ReportListView : public QTableView {
 public:
  using QTableView::QTableView;

 protected:
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override {
    if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
  }
};

// A group box drawn as the original platform drew it: the frame's top line runs through the
// middle of the title, and the title's top is the template's y. Qt's styles put the title above
// the frame and move the frame down, onto the first control inside.
class TemplateGroupBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int textHeight = fontMetrics().height();
    // An etched line, as the original drew it; styles draw their own frame below a margin of
    // their own, which would move the line down again.
    qDrawShadeRect(&painter, rect().adjusted(0, textHeight / 2, 0, 0), palette(), true, 1, 0);
    if (title().isEmpty()) return;
    const QString text = StripMnemonic(title());
    const int indent = fontMetrics().averageCharWidth();
    const QRect textRect(indent, 0, fontMetrics().horizontalAdvance(text) + 4, textHeight);
    painter.fillRect(textRect, palette().window());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignCenter, text);
  }
};

QWidget* MakeListView(const QFont& font, QWidget* parent) {
  auto* view = new ReportListView(parent);
  view->setShowGrid(true);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSortingEnabled(false);
  view->setWordWrap(false);
  view->setTabKeyNavigation(false);
  view->verticalHeader()->hide();
  // Fixed row heights keep a list of a hundred thousand rows cheap to lay out.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  view->horizontalHeader()->setStretchLastSection(false);
  view->horizontalHeader()->setSectionsClickable(false);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  view->horizontalHeader()->setMinimumSectionSize(0);
  return view;
}

QWidget* MakeProgress(QWidget* parent) {
  auto* bar = new QProgressBar(parent);
  bar->setTextVisible(false);
  bar->setRange(0, 100);
  bar->setValue(0);
  return bar;
}

QWidget* MakeControl(const ControlTemplate& c, const QFont& font, QWidget* parent) {
  switch (c.kind) {
    case ControlKind::kStatic: return MakeLabel(c, parent);
    case ControlKind::kIcon: return MakeIcon(c, parent);
    case ControlKind::kEdit: return MakeEdit(c, parent);
    case ControlKind::kButton:
    case ControlKind::kDefButton: return MakeButton(c, parent);
    case ControlKind::kCheckBox:
      return new QCheckBox(QString::fromUtf8(c.text ? c.text : ""), parent);
    case ControlKind::kRadio:
      return new QRadioButton(QString::fromUtf8(c.text ? c.text : ""), parent);
    case ControlKind::kGroupBox:
      return new TemplateGroupBox(QString::fromUtf8(c.text ? c.text : ""), parent);
    case ControlKind::kComboDropList:
    case ControlKind::kComboDropDown: return MakeCombo(c, parent);
    case ControlKind::kListBox: return MakeListBox(c, parent);
    case ControlKind::kListView: return MakeListView(font, parent);
    case ControlKind::kProgress: return MakeProgress(parent);
  }
  return new QWidget(parent);
}

int WidestLine(const QFontMetrics& fm, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    widest = std::max(widest, fm.horizontalAdvance(line));
  }
  return widest;
}

}  // namespace

int TextWidthNeeded(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    if (label->text().isEmpty() || !label->pixmap().isNull()) return 0;
    const QString text = StripMnemonic(label->text());
    const QMargins m = label->contentsMargins();
    return WidestLine(label->fontMetrics(), text) + m.left() + m.right() + 2 * label->margin();
  }
  if (const auto* button = qobject_cast<const QPushButton*>(control)) {
    if (button->text().isEmpty()) return 0;
    const QStyle* style = button->style();
    return WidestLine(button->fontMetrics(), StripMnemonic(button->text())) +
           2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
  }
  if (const auto* check = qobject_cast<const QAbstractButton*>(control)) {
    return check->text().isEmpty() ? 0 : check->sizeHint().width();
  }
  return 0;
}

namespace {

// A combo box's template height is the height of its dropped list; the closed box takes the
// height its font needs.
void PlaceCombo(QComboBox* combo, const QRect& px) {
  const int closed = combo->sizeHint().height();
  combo->setGeometry(px.x(), px.y(), px.width(), closed);
  const int row = std::max(1, combo->fontMetrics().height() + 2);
  combo->setMaxVisibleItems(std::max(5, (px.height() - closed) / row));
}

// The stand-in font is wider than the one the templates were laid out for: a text control
// grows to the width its text needs, so that no label or button loses its last character.
// Right-aligned labels grow to the left, centred ones to both sides.
QRect WidenForText(const ControlTemplate& c, QWidget* w, QRect px) {
  const int extra = TextWidthNeeded(w) - px.width();
  if (extra <= 0) return px;
  if (c.kind == ControlKind::kStatic && (c.style & kRightText)) {
    px.setLeft(px.left() - extra);
  } else if (c.kind == ControlKind::kStatic && (c.style & kCenterText)) {
    px.setLeft(px.left() - extra / 2);
    px.setRight(px.right() + (extra - extra / 2));
  } else {
    px.setRight(px.right() + extra);
  }
  return px;
}

void PlaceControl(const ControlTemplate& c, QWidget* w, const QRect& px) {
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    PlaceCombo(combo, px);
  } else if (c.kind == ControlKind::kIcon) {
    w->setGeometry(px.x(), px.y(), kIconPixels, kIconPixels);
  } else {
    w->setGeometry(WidenForText(c, w, px));
  }
}

// The original platform tabs into a radio group at its checked button only; arrows move
// within the group. Only the checked (or, with none checked, the first enabled) button of a
// group takes Tab focus.
void UpdateRadioTabStop(QButtonGroup* group) {
  const QList<QAbstractButton*> buttons = group->buttons();
  QAbstractButton* stop = group->checkedButton();
  if (!stop) {
    for (QAbstractButton* b : buttons) {
      if (b->isEnabled()) {
        stop = b;
        break;
      }
    }
  }
  for (QAbstractButton* b : buttons) b->setFocusPolicy(b == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

void ApplyFocusPolicy(const ControlTemplate& c, QWidget* w) {
  if (!IsFocusable(c.kind)) {
    w->setFocusPolicy(Qt::NoFocus);
  } else if (c.kind != ControlKind::kRadio) {
    w->setFocusPolicy((c.style & kTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

void ApplyState(const ControlTemplate& c, QWidget* w) {
  if (c.style & kDisabled) w->setEnabled(false);
  if (c.style & kHidden) w->setHidden(true);
}

// A label's mnemonic moves the focus to the next control in template order, as on the
// original platform.
void LinkLabelBuddies(const DialogTemplate& t, const std::vector<QWidget*>& widgets) {
  for (int i = 0; i < t.controlCount; ++i) {
    if (t.controls[i].kind != ControlKind::kStatic) continue;
    auto* label = qobject_cast<QLabel*>(widgets[i]);
    if (!label || !label->text().contains(QLatin1Char('&'))) continue;
    label->setTextFormat(Qt::AutoText);
    for (int j = i + 1; j < t.controlCount; ++j) {
      if (IsFocusable(t.controls[j].kind)) {
        label->setBuddy(widgets[j]);
        break;
      }
    }
  }
}

void BuildRadioGroups(const DialogTemplate& t, const std::vector<QWidget*>& widgets,
                      QDialog* dialog) {
  QButtonGroup* current = nullptr;
  std::vector<QButtonGroup*> groups;
  for (int i = 0; i < t.controlCount; ++i) {
    const ControlTemplate& c = t.controls[i];
    if (c.style & kGroupStart) current = nullptr;
    if (c.kind != ControlKind::kRadio) continue;
    if (!current) {
      current = new QButtonGroup(dialog);
      current->setExclusive(true);
      current->setObjectName(QStringLiteral("group%1").arg(c.id));
      groups.push_back(current);
    }
    current->addButton(qobject_cast<QAbstractButton*>(widgets[i]), c.id);
  }
  for (QButtonGroup* group : groups) {
    UpdateRadioTabStop(group);
    QObject::connect(group, &QButtonGroup::buttonToggled, group,
                     [group](QAbstractButton*, bool) { UpdateRadioTabStop(group); });
  }
}

void ChainTabOrder(const DialogTemplate& t, const std::vector<QWidget*>& widgets) {
  QWidget* previous = nullptr;
  for (int i = 0; i < t.controlCount; ++i) {
    if (!IsFocusable(t.controls[i].kind)) continue;
    if (previous) QWidget::setTabOrder(previous, widgets[i]);
    previous = widgets[i];
  }
}

Qt::WindowFlags DialogFlags(const DialogTemplate& t) {
  if (t.modalFrame) {
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  }
  return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
}

}  // namespace

QFont DialogFont(const DialogTemplate& t) {
  QFont font(InstalledFace(t.fontFace));
  font.setPointSize(t.fontPointSize > 0 ? t.fontPointSize : 9);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

DialogUnit DialogUnitOf(const QFont& font) {
  const BaseUnits base = BaseUnitsOf(font);
  return {base.cx / 4.0, base.cy / 8.0};
}

QRect DialogUnitsToPixels(const QFont& font, const QRect& du) {
  const BaseUnits base = BaseUnitsOf(font);
  const int left = MulDivRound(du.x(), base.cx, 4);
  const int top = MulDivRound(du.y(), base.cy, 8);
  const int right = MulDivRound(du.x() + du.width(), base.cx, 4);
  const int bottom = MulDivRound(du.y() + du.height(), base.cy, 8);
  return QRect(left, top, right - left, bottom - top);
}

int ScaleOriginalPixelsX(const QFont& font, int pixels) {
  return static_cast<int>(std::lround(pixels * DialogUnitOf(font).x / 1.5));
}

int ScaleOriginalPixelsY(const QFont& font, int pixels) {
  return static_cast<int>(std::lround(pixels * DialogUnitOf(font).y / 1.5));
}

int OriginalPixelsX(const QFont& font, int pixels) {
  return static_cast<int>(std::lround(pixels * 1.5 / DialogUnitOf(font).x));
}

void SetIconResolver(std::function<QIcon(int id)> resolver) { IconResolver() = std::move(resolver); }

QMenuBar* BuildMenuBar(const MenuItemTemplate* items, int count, QWidget* parent) {
  auto* bar = new QMenuBar(parent);
  std::vector<QMenu*> open;  // the popups being filled, innermost last
  for (int i = 0; i < count; ++i) {
    const MenuItemTemplate& item = items[i];
    const QString text = QString::fromUtf8(item.text ? item.text : "");
    if (item.commandId == kMenuEnd) {
      if (!open.empty()) open.pop_back();
    } else if (item.commandId == -1) {
      QMenu* menu = open.empty() ? bar->addMenu(text) : open.back()->addMenu(text);
      open.push_back(menu);
    } else if (open.empty()) {
      QAction* action = bar->addAction(text);
      action->setObjectName(QString::number(item.commandId));
      action->setData(item.commandId);
    } else if (item.commandId == 0) {
      open.back()->addSeparator();
    } else {
      QAction* action = open.back()->addAction(text);
      action->setObjectName(QString::number(item.commandId));
      action->setData(item.commandId);
    }
  }
  return bar;
}

QDialog* BuildDialog(const DialogTemplate& t, QWidget* parent, const MenuItemTemplate* menu,
                     int menuCount) {
  auto* dialog = new QDialog(parent, DialogFlags(t));
  dialog->setObjectName(QString::number(t.id));
  dialog->setWindowTitle(QString::fromUtf8(t.caption ? t.caption : ""));
  const QFont font = DialogFont(t);
  dialog->setFont(font);

  auto* layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  QMenuBar* bar = nullptr;
  if (menu && menuCount > 0) {
    bar = BuildMenuBar(menu, menuCount, dialog);
    bar->setObjectName(QStringLiteral("menu%1").arg(t.menuId));
    layout->setMenuBar(bar);
  }
  auto* client = new QWidget(dialog);
  client->setObjectName(QLatin1String(kClientName));
  layout->addWidget(client);

  std::vector<QWidget*> widgets;
  widgets.reserve(t.controlCount);
  for (int i = 0; i < t.controlCount; ++i) {
    const ControlTemplate& c = t.controls[i];
    QWidget* w = MakeControl(c, font, client);
    if (c.id >= 0) w->setObjectName(QString::number(c.id));
    PlaceControl(c, w, DialogUnitsToPixels(font, QRect(c.x, c.y, c.w, c.h)));
    ApplyFocusPolicy(c, w);
    ApplyState(c, w);
    widgets.push_back(w);
  }
  // Group boxes only frame; kept at the bottom they never take a click meant for a control.
  for (int i = 0; i < t.controlCount; ++i) {
    if (t.controls[i].kind == ControlKind::kGroupBox) widgets[i]->lower();
  }
  LinkLabelBuddies(t, widgets);
  BuildRadioGroups(t, widgets, dialog);
  ChainTabOrder(t, widgets);

  const QRect size = DialogUnitsToPixels(font, QRect(0, 0, t.w, t.h));
  const int menuHeight = bar ? bar->sizeHint().height() : 0;
  if (t.modalFrame) {
    dialog->setFixedSize(size.width(), size.height() + menuHeight);
  } else {
    dialog->resize(size.width(), size.height() + menuHeight);
  }
  if (t.centered) CenterOnScreen(dialog, parent);
  return dialog;
}

void CenterOnScreen(QWidget* window, const QWidget* owner) {
  const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame(QPoint(0, 0), window->size());
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

QWidget* ClientArea(const QWidget* dialog) {
  if (!dialog) return nullptr;
  return dialog->findChild<QWidget*>(QLatin1String(kClientName), Qt::FindDirectChildrenOnly);
}

QWidget* Control(const QWidget* dialog, int id) {
  if (!dialog) return nullptr;
  return dialog->findChild<QWidget*>(QString::number(id));
}

QButtonGroup* RadioGroup(const QWidget* dialog, int radioId) {
  auto* button = ControlAs<QAbstractButton>(dialog, radioId);
  return button ? button->group() : nullptr;
}

QAction* MenuAction(const QWidget* dialog, int commandId) {
  if (!dialog) return nullptr;
  return dialog->findChild<QAction*>(QString::number(commandId));
}

QString StripMnemonic(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&')) {
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

}  // namespace ui
