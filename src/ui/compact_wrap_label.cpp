#include "ui/compact_wrap_label.h"

#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

void CompactWrapLabel::paintEvent(QPaintEvent*) {
    const QRect area = contentsRect();
    QTextLayout layout(text(), font());
    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrapping);

    const QFontMetrics metrics(font());
    const int lineHeight = std::max(font().pixelSize(), metrics.capHeight() + 2);
    // Centre the glyph box in the tight line: the font's own leading is split evenly.
    const double shift = (metrics.height() - lineHeight) / 2.0;
    layout.beginLayout();
    int top = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, top - shift));
        top += lineHeight;
    }
    layout.endLayout();

    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setClipRect(area);
    layout.draw(&painter, area.topLeft());
}
