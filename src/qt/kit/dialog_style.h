#pragma once
// The look of the dialogs: Fusion with the compact check boxes, radio buttons and button margins
// of the classic dialog toolkit, so captions fit the sizes the dialog templates give them.
#include <QProxyStyle>

namespace quillet {

class DialogStyle : public QProxyStyle {
 public:
  DialogStyle();
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;
};

}  // namespace quillet
