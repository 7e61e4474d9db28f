#include "qt/kit/dialog_style.h"

#include <QStyleFactory>

namespace quillet {

DialogStyle::DialogStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}

int DialogStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
      return 13;
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
      return 4;
    case PM_ButtonMargin:
      return 2;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
  }
}

}  // namespace quillet
