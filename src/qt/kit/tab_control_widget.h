#pragma once
// A tab control as dialog templates have it: a row of tabs over a framed pane. The controls shown
// "on" a tab are its siblings, laid over the pane, not its children. Changing the tabs from the
// program sends no notification; only the operator's choice does.
#include <QWidget>
#include <string>
#include <vector>

class QTabBar;

namespace quillet {

class TabControlWidget : public QWidget {
  Q_OBJECT

 public:
  explicit TabControlWidget(QWidget* parent = nullptr);

  // Replaces the tabs (when they differ) and selects `selected`.
  void SetTabs(const std::vector<std::string>& captions, int selected);
  int CurrentIndex() const;
  int Count() const;
  QString TabText(int index) const;
  // Selects a tab as the operator would, with the notification (for tests and automation).
  void ClickTab(int index);

 signals:
  void TabChanged(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceBar();

  QTabBar* bar_;
};

}  // namespace quillet
