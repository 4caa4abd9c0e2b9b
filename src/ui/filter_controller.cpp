#include "ui/filter_controller.h"

#include <QLineEdit>
#include <QPushButton>

#include "platform/qt_text.h"
#include "results/value_filter.h"
#include "ui/main_window.h"

FilterController::FilterController(MainWindow& window, MessageBoxRoutine& box) : QObject(&window) {
    const auto connectFilter = [&window, &box, this](QPushButton* button, QLineEdit* edit,
                                                     const ValueFilterSettings& settings) {
        connect(button, &QPushButton::clicked, this, [&window, &box, edit, settings] {
            ValueFilter(window.Results(), FromQString(edit->text()), settings, box);
        });
    };
    connectFilter(window.WeightFilterButton(), window.WeightFilterEdit(), kWeightFilter);
    connectFilter(window.PrFilterButton(), window.PrFilterEdit(), kPrFilter);
}
