// The style the form's controls are drawn with: Fusion, with check box and
// radio indicators of 12 pixels and a 3-pixel gap before the caption, so that
// every caption fits the width the form gives its control.
#pragma once

#include <QProxyStyle>

class FormStyle : public QProxyStyle {
    Q_OBJECT

public:
    FormStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};
