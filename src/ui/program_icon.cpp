#include "ui/program_icon.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace {

// Drawn on a 48 x 48 grid and scaled, so every size has the same proportions.
QPixmap DrawMark(int size) {
    QPixmap image(size, size);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 48.0, size / 48.0);

    QLinearGradient shade(0, 0, 0, 48);
    shade.setColorAt(0.0, QColor(0x2f, 0x86, 0xd6));
    shade.setColorAt(1.0, QColor(0x17, 0x4f, 0x8f));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRoundedRect(QRectF(2, 2, 44, 44), 9, 9);

    painter.setBrush(Qt::white);
    constexpr double kBarWidth = 8;
    constexpr double kBase = 38;
    const double heights[] = {10, 18, 26};
    for (int bar = 0; bar < 3; ++bar) {
        const double left = 9 + bar * 11;
        painter.drawRoundedRect(QRectF(left, kBase - heights[bar], kBarWidth, heights[bar]), 1.5,
                                1.5);
    }
    return image;
}

}  // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) icon.addPixmap(DrawMark(size));
    return icon;
}
