#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <limits>
#include <string_view>

#include "platform/qt_text.h"
#include "query/metric_catalogue.h"
#include "results/result_model.h"
#include "ui/compact_wrap_label.h"
#include "ui/embossed_label.h"
#include "ui/flat_check_style.h"
#include "ui/program_icon.h"
#include "ui/program_texts.h"
#include "ui/result_list.h"

namespace {

QString Caption(std::string_view text) {
    return ToQString(Text(text));
}

template <class Control>
Control* Place(QWidget* parent, const char* name, const QRect& place) {
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(place);
    return control;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const QRect& place,
                         std::string_view caption) {
    auto* button = Place<QPushButton>(parent, name, place);
    button->setText(Caption(caption));
    button->setAutoDefault(false);
    return button;
}

QGroupBox* PlaceGroup(QWidget* parent, const char* name, const QRect& place,
                      std::string_view title) {
    auto* group = Place<QGroupBox>(parent, name, place);
    group->setTitle(Caption(title));
    return group;
}

// A label without a background of its own, one line, left and vertically centred.
QLabel* PlaceLabel(QWidget* parent, const char* name, const QRect& place, std::string_view text) {
    auto* label = Place<QLabel>(parent, name, place);
    label->setTextFormat(Qt::PlainText);  // a host name must never be read as markup
    label->setText(Caption(text));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QLineEdit* PlaceFilterEdit(QWidget* parent, const char* name, const QRect& place) {
    auto* edit = Place<QLineEdit>(parent, name, place);
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    edit->setStyleSheet(
        QStringLiteral("QLineEdit { border: 1px solid #7a7a7a; background: white; color: black;"
                       " padding: 0 2px; }"));
    edit->setText(Caption("0 1 2 3 4 5 6 7 8 9"));
    return edit;
}

// Client places of the metric check boxes, by result column.
constexpr std::array<QRect, kResultColumnCount> kMetricCheckPlaces{{
    {},
    {16, 24, 80, 24},
    {88, 24, 80, 24},
    {152, 24, 80, 24},
    {224, 24, 80, 24},
    {296, 24, 80, 24},
    {368, 24, 80, 24},
    {440, 24, 72, 24},
    {16, 48, 80, 24},
    {88, 48, 96, 24},
    {224, 48, 80, 24},
    {296, 48, 80, 24},
    {368, 48, 72, 24},
}};

constexpr int kClientWidth = 966;
constexpr int kClientHeight = 528;
constexpr int kFontPixels = 12;

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_results(new ResultModel(this)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(Caption(kWindowTitle));
    setWindowIcon(ProgramIcon());
    setFixedSize(kClientWidth, kClientHeight);
    // The places were laid out for a 12-pixel dialog font.
    QFont dialogFont = font();
    dialogFont.setPixelSize(kFontPixels);
    setFont(dialogFont);

    BuildQueryGroup();
    BuildFilterGroup();
    BuildFunctionGroup();
    BuildAdGroup();
    BuildStatusAndResults();
    BuildHolderLabels();
    ConnectColumnRules();
    BuildUndo();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void MainWindow::BuildQueryGroup() {
    PlaceGroup(this, "QueryGroup", {8, 8, 512, 72}, "数据查询");
    auto* flat = new FlatCheckStyle();
    for (const Metric& metric : kMetricCatalogue) {
        const std::string name(metric.checkBox);
        auto* check = Place<QCheckBox>(this, name.c_str(),
                                       kMetricCheckPlaces[static_cast<std::size_t>(metric.column)]);
        check->setText(Caption(metric.caption));
        check->setStyle(flat);
        m_metricChecks[static_cast<std::size_t>(metric.column)] = check;
    }
    // Parented after the boxes, so it is deleted after them: they point at it until then.
    flat->setParent(this);
    m_metricChecks[static_cast<std::size_t>(kInitiallyTickedColumn)]->setChecked(true);
    m_start = PlaceButton(this, "StartButton", {440, 48, 64, 20}, "开始查询");
}

void MainWindow::BuildFilterGroup() {
    PlaceGroup(this, "FilterGroup", {8, 88, 312, 72}, "数据筛选");
    PlaceLabel(this, "WeightFilterLabel", {16, 102, 48, 24}, "百度权重");
    m_weightFilterEdit = PlaceFilterEdit(this, "WeightFilterEdit", {72, 104, 128, 20});
    m_weightFilter = PlaceButton(this, "WeightFilterButton", {208, 104, 56, 20}, "筛选");
    PlaceLabel(this, "PrFilterLabel", {16, 126, 40, 24}, "谷歌PR");
    m_prFilterEdit = PlaceFilterEdit(this, "PrFilterEdit", {72, 128, 128, 20});
    m_prFilter = PlaceButton(this, "PrFilterButton", {208, 128, 56, 20}, "筛选");
    auto* hint = Place<CompactWrapLabel>(this, "FilterHintLabel", {272, 104, 40, 48});
    hint->setText(Caption("多个数据请用空格分隔"));
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint->setWordWrap(true);
}

void MainWindow::BuildFunctionGroup() {
    PlaceGroup(this, "FunctionGroup", {328, 88, 192, 72}, "功能区");
    m_export = PlaceButton(this, "ExportButton", {336, 104, 56, 20}, "导出数据");
    m_stop = PlaceButton(this, "StopButton", {396, 104, 56, 20}, "停止查询");
    m_editAddresses = PlaceButton(this, "EditAddressesButton", {456, 104, 56, 20}, "编辑网址");
    m_upgrade = PlaceButton(this, "UpgradeButton", {336, 128, 56, 20}, "软件升级");
    m_clearList = PlaceButton(this, "ClearListButton", {396, 128, 56, 20}, "清空列表");
    m_exit = PlaceButton(this, "ExitButton", {456, 128, 56, 20}, "退出程序");
}

void MainWindow::BuildAdGroup() {
    PlaceGroup(this, "AdGroup", {528, 8, 432, 184}, "");
    // The pane is larger than its frame: only its top-left part shows, its scroll bars lie
    // outside the visible part.
    auto* frame = Place<QFrame>(this, "AdFrame", {531, 16, 426, 172});
    frame->setFrameStyle(QFrame::NoFrame);
    m_adPane = Place<QTextBrowser>(frame, "AdPane", {0, 0, 581, 256});
    m_adPane->setFrameStyle(QFrame::NoFrame);
    m_adPane->setOpenLinks(false);
    m_adPane->setSource(QUrl(Caption(kAdPageAddress)));
}

void MainWindow::BuildStatusAndResults() {
    m_status = PlaceLabel(this, "StatusLabel", {8, 165, 512, 24},
                          ConcatText({kFailHint, " ", kUserGroupInvitation}));
    m_status->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_status->setLineWidth(1);
    m_status->setIndent(3);

    m_table = new ResultList(*m_results, this);
    m_table->setObjectName(QStringLiteral("ResultList"));
    m_table->setGeometry(8, 195, 952, 317);

    // The footer first, so that the progress bar lies over it.
    m_footer = Place<EmbossedLabel>(this, "FooterLabel", {8, 512, 952, 16});
    m_footer->setText(Caption(kFooterText));
    m_footer->setAlignment(Qt::AlignCenter);

    m_progress = Place<QProgressBar>(this, "ProgressBar", {8, 512, 952, 16});
    m_progress->setOrientation(Qt::Horizontal);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->hide();
}

void MainWindow::BuildHolderLabels() {
    m_count = Place<QLabel>(this, "CountLabel", {1032, 312, 80, 24});
    m_runState = Place<QLabel>(this, "RunStateLabel", {248, 912, 80, 24});
    m_fileCheck = Place<QLabel>(this, "FileCheckLabel", {144, 904, 80, 24});
    for (QLabel* holder : {m_count, m_runState, m_fileCheck}) holder->setTextFormat(Qt::PlainText);
}

void MainWindow::ConnectColumnRules() {
    // A click restores the column's standard width whatever the new tick: ticking shows the
    // column at once, unticking leaves it visible until the next run hides it.
    for (int column = 1; column < kResultColumnCount; ++column) {
        connect(m_metricChecks[static_cast<std::size_t>(column)], &QCheckBox::clicked, this,
                [this, column] {
                    m_table->SetColumnWidth(column,
                                            kResultColumns[static_cast<std::size_t>(column)].width);
                });
    }
    // The rows go as a removal that 撤销 can bring back.
    connect(m_clearList, &QPushButton::clicked, this,
            [this] { m_results->DeleteRowsWhere([](const ResultModel::Row&) { return true; }); });
}

void MainWindow::BuildUndo() {
    m_undo = new QAction(Caption(kUndoActionText), this);
    m_undo->setObjectName(QStringLiteral("UndoAction"));
    m_undo->setShortcut(QKeySequence::Undo);
    m_undo->setShortcutContext(Qt::WindowShortcut);
    m_undo->setEnabled(false);
    addAction(m_undo);
    connect(m_undo, &QAction::triggered, this, [this] { m_results->RestoreRemovedRows(); });
    connect(m_results, &ResultModel::canRestoreChanged, m_undo, &QAction::setEnabled);
    for (QPushButton* deleting : {m_weightFilter, m_prFilter, m_clearList}) {
        deleting->setToolTip(Caption(kUndoHint));
    }
}

QCheckBox* MainWindow::MetricCheck(int column) const {
    if (column < 1 || column >= kResultColumnCount) return nullptr;
    return m_metricChecks[static_cast<std::size_t>(column)];
}

bool MainWindow::IsMetricTicked(int column) const {
    const QCheckBox* check = MetricCheck(column);
    return check != nullptr && check->isChecked();
}

void MainWindow::HideUntickedColumns() {
    m_table->HideUntickedColumns([this](int column) { return IsMetricTicked(column); });
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Reached only when the focused control left the key unused.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closeQuery && !m_closeQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}
