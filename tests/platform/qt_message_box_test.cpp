#include "platform/qt_message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "platform/qt_text.h"

namespace {

struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QStringList buttonTexts;
    bool owned = true;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::TextFormat format = Qt::AutoText;
};

// Shows a box and, once it is up, records what it shows and lets `act` answer it.
int ShowAndAnswer(int style, const Text& caption, const Text& text, Seen& seen,
                  const std::function<void(QMessageBox&)>& act) {
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        poll.stop();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons.push_back(box->standardButton(button));
            seen.buttonTexts.push_back(button->text());
        }
        seen.owned = box->parent() != nullptr;
        seen.modality = box->windowModality();
        seen.format = box->textFormat();
        act(*box);
    });
    poll.start();
    QtMessageBox routine;
    MessageBoxRoutine& boxes = routine;
    return boxes.Show(text, style, caption);
}

void Press(QMessageBox& box, QMessageBox::StandardButton which) {
    box.button(which)->click();
}

TEST(QtMessageBox, ShowsCaptionTextIconAndButtonsOfTheStyle) {
    struct Case {
        int style;
        QMessageBox::Icon icon;
        QList<QMessageBox::StandardButton> buttons;
    };
    const Case cases[] = {
        {0, QMessageBox::NoIcon, {QMessageBox::Ok}},
        {64, QMessageBox::Information, {QMessageBox::Ok}},
        {65, QMessageBox::Information, {QMessageBox::Ok, QMessageBox::Cancel}},
    };
    for (const auto& c : cases) {
        Seen seen;
        const int result = ShowAndAnswer(c.style, "错误", "<b>a\xFF</b>\r\nb", seen,
                                         [](QMessageBox& box) { Press(box, QMessageBox::Ok); });
        EXPECT_EQ(result, 0) << c.style;
        EXPECT_EQ(seen.title, QStringView(u"错误").toString());
        EXPECT_EQ(FromQString(seen.text), "<b>a\xFF</b>\r\nb");
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_EQ(seen.icon, c.icon) << c.style;
        std::sort(seen.buttons.begin(), seen.buttons.end());
        EXPECT_EQ(seen.buttons, c.buttons) << c.style;
        EXPECT_TRUE(seen.buttonTexts.contains(QStringView(u"确定").toString()));
        EXPECT_EQ(seen.buttonTexts.contains(QStringView(u"取消").toString()), c.style == 65);
        EXPECT_FALSE(seen.owned);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    }
}

TEST(QtMessageBox, DefaultCaption) {
    Seen seen;
    ShowAndAnswer(0, MessageBoxRoutine::DefaultCaption(), "x", seen,
                  [](QMessageBox& box) { Press(box, QMessageBox::Ok); });
    EXPECT_EQ(seen.title, QStringView(u"信息：").toString());
}

TEST(QtMessageBox, OkGivesZeroAndEveryOtherWayOutGivesOne) {
    struct Case {
        const char* name;
        int style;
        std::function<void(QMessageBox&)> act;
        int result;
    };
    const auto ok = [](QMessageBox& box) { Press(box, QMessageBox::Ok); };
    const auto cancel = [](QMessageBox& box) { Press(box, QMessageBox::Cancel); };
    const auto returnKey = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); };
    const auto escape = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };
    const auto closeButton = [](QMessageBox& box) { box.close(); };
    const Case cases[] = {
        {"OK of OK/Cancel", 65, ok, 0},
        {"Cancel", 65, cancel, 1},
        {"Return of OK/Cancel", 65, returnKey, 0},
        {"Esc of OK/Cancel", 65, escape, 1},
        {"close of OK/Cancel", 65, closeButton, 1},
        {"Return of OK", 64, returnKey, 0},
        {"Esc of OK", 64, escape, 1},
        {"close of OK", 0, closeButton, 1},
    };
    for (const auto& c : cases) {
        Seen seen;
        EXPECT_EQ(ShowAndAnswer(c.style, "c", "t", seen, c.act), c.result) << c.name;
    }
}

// The question before unsaved work is dropped: 保存 gives 0, 不保存 2, and every other way out 1.
TEST(QtMessageBox, SaveQuestionHasSaveDiscardAndCancel) {
    struct Case {
        const char* name;
        std::function<void(QMessageBox&)> act;
        int result;
    };
    const Case cases[] = {
        {"保存", [](QMessageBox& box) { Press(box, QMessageBox::Save); }, 0},
        {"Return", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, 0},
        {"不保存", [](QMessageBox& box) { Press(box, QMessageBox::Discard); }, 2},
        {"取消", [](QMessageBox& box) { Press(box, QMessageBox::Cancel); }, 1},
        {"Esc", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, 1},
        {"close", [](QMessageBox& box) { box.close(); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seen seen;
        EXPECT_EQ(ShowAndAnswer(MessageBoxRoutine::kSaveDiscardCancel, "c", "t", seen, c.act),
                  c.result);
        EXPECT_EQ(seen.icon, QMessageBox::Question);
        std::sort(seen.buttons.begin(), seen.buttons.end());
        EXPECT_EQ(seen.buttons, (QList<QMessageBox::StandardButton>{
                                    QMessageBox::Save, QMessageBox::Cancel, QMessageBox::Discard}));
        std::sort(seen.buttonTexts.begin(), seen.buttonTexts.end());
        QStringList texts = {QStringView(u"保存").toString(), QStringView(u"不保存").toString(),
                             QStringView(u"取消").toString()};
        std::sort(texts.begin(), texts.end());
        EXPECT_EQ(seen.buttonTexts, texts);
    }
}

// The tick box under the text gives back its state however the box is closed.
TEST(QtMessageBox, TickBoxStateComesBack) {
    for (const bool tick : {false, true}) {
        for (const bool escape : {false, true}) {
            SCOPED_TRACE(testing::Message() << "tick " << tick << " escape " << escape);
            QString caption;
            QTimer poll;
            poll.setInterval(5);
            QObject::connect(&poll, &QTimer::timeout, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box || !box->isVisible() || box->checkBox() == nullptr) return;
                poll.stop();
                caption = box->checkBox()->text();
                if (tick) box->checkBox()->click();
                if (escape) {
                    QTest::keyClick(box, Qt::Key_Escape);
                } else {
                    Press(*box, QMessageBox::Ok);
                }
            });
            poll.start();
            QtMessageBox routine;
            bool ticked = !tick;
            EXPECT_EQ(routine.ShowWithTick("t", "不再提示", ticked), escape ? 1 : 0);
            EXPECT_EQ(ticked, tick);
            EXPECT_EQ(caption, QStringView(u"不再提示").toString());
        }
    }
}

}  // namespace
