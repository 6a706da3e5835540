// Indicator size and caption spacing for the form's 96 dpi layout.
#include "FormStyle.h"

#include <QStyleFactory>

namespace {
constexpr int kIndicator = 12;
constexpr int kCaptionGap = 3;
} // namespace

FormStyle::FormStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

int FormStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return kIndicator;
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return kCaptionGap;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}
