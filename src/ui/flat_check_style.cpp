#include "ui/flat_check_style.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace {

constexpr int kBoxSize = 13;

}  // namespace

int FlatCheckStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                const QWidget* widget) const {
    if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight) return kBoxSize;
    if (metric == PM_CheckBoxLabelSpacing) return 4;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void FlatCheckStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    if (element != PE_IndicatorCheckBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const bool enabled = option->state & State_Enabled;
    const QPalette& colours = option->palette;
    const QRect box = option->rect.adjusted(0, 0, -1, -1);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillRect(box,
                      enabled ? colours.color(QPalette::Base) : colours.color(QPalette::Window));
    painter->setPen(
        colours.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter->drawRect(box);

    if (option->state & (State_On | State_NoChange)) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        QPen tick(colours.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text),
                  1.8);
        tick.setCapStyle(Qt::RoundCap);
        tick.setJoinStyle(Qt::RoundJoin);
        painter->setPen(tick);
        const QRectF r = QRectF(box).adjusted(2.5, 2.5, -2.5, -2.5);
        QPainterPath path;
        path.moveTo(r.left(), r.top() + r.height() * 0.5);
        path.lineTo(r.left() + r.width() * 0.4, r.bottom() - 0.5);
        path.lineTo(r.right(), r.top() + 0.5);
        painter->drawPath(path);
    }
    painter->restore();
}
