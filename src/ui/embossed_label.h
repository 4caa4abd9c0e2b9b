#pragma once

#include <QLabel>

// A label that draws its text black over a white copy one pixel right and below: the
// raised look of the window's footer. It has no background of its own.
class EmbossedLabel final : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* event) override;
};
