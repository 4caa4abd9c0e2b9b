#pragma once

#include <QProxyStyle>

// Check boxes drawn flat: a plain one-pixel square with a drawn tick, no bevel or gradient.
class FlatCheckStyle final : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
