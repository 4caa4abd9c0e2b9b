#pragma once

#include <QLabel>

// A label whose text wraps onto lines as tall as the font's pixel size, without extra
// leading, so that a short hint fits a narrow, low place. No background of its own.
class CompactWrapLabel final : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
