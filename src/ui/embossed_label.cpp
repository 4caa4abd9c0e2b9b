#include "ui/embossed_label.h"

#include <QPainter>

void EmbossedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QRect area = contentsRect();
    painter.setPen(Qt::white);
    painter.drawText(area.translated(1, 1), static_cast<int>(alignment()), text());
    painter.setPen(Qt::black);
    painter.drawText(area, static_cast<int>(alignment()), text());
}
