#include "qt/kit/tab_control_widget.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace quillet {

TabControlWidget::TabControlWidget(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
  bar_->setDrawBase(false);
  bar_->setExpanding(false);
  bar_->setUsesScrollButtons(false);
  connect(bar_, &QTabBar::currentChanged, this, &TabControlWidget::TabChanged);
}

void TabControlWidget::SetTabs(const std::vector<std::string>& captions, int selected) {
  const QSignalBlocker blocker(bar_);
  bool same = bar_->count() == static_cast<int>(captions.size());
  for (int i = 0; same && i < bar_->count(); ++i) same = bar_->tabText(i).toStdString() == captions[i];
  if (!same) {
    while (bar_->count() > 0) bar_->removeTab(0);
    for (const std::string& caption : captions) bar_->addTab(QString::fromStdString(caption));
    PlaceBar();
  }
  bar_->setCurrentIndex(selected);
}

int TabControlWidget::CurrentIndex() const {
  return bar_->currentIndex();
}
int TabControlWidget::Count() const {
  return bar_->count();
}
QString TabControlWidget::TabText(int index) const {
  return bar_->tabText(index);
}
void TabControlWidget::ClickTab(int index) {
  bar_->setCurrentIndex(index);
}

void TabControlWidget::resizeEvent(QResizeEvent*) {
  PlaceBar();
}

void TabControlWidget::PlaceBar() {
  bar_->setGeometry(2, 0, width() - 4, bar_->sizeHint().height());
  update();
}

void TabControlWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionTabWidgetFrame frame;
  frame.initFrom(this);
  frame.rect = QRect(0, bar_->height() - 1, width(), height() - bar_->height() + 1);
  frame.tabBarSize = bar_->sizeHint();
  frame.shape = QTabBar::RoundedNorth;
  frame.tabBarRect = bar_->geometry();
  frame.selectedTabRect = bar_->tabRect(bar_->currentIndex()).translated(bar_->pos());
  style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

}  // namespace quillet
