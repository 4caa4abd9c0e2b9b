#include "ui/source_settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/qt_text.h"
#include "service/service_settings.h"

namespace {

QString Caption(const char* text) {
    return ToQString(Text(text));
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Stored(const ConfigValues& values, const char* name) {
    const auto found = values.find(std::string_view(name));
    return found == values.end() ? std::string() : found->second;
}

// A note under a field, shown only when the environment sets the field's value.
QLabel* NoteLabel(QWidget* parent, const char* name) {
    auto* note = new QLabel(parent);
    note->setObjectName(QStringLiteral("OverrideNote_") + QString::fromLatin1(name));
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: #a04000;"));
    note->hide();
    return note;
}

QSpinBox* SpinBox(QWidget* parent, const char* objectName, int maximum, int value) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(objectName));
    spin->setRange(0, maximum);
    spin->setValue(value);
    return spin;
}

int StoredNumber(const ConfigValues& values, const char* name, int maximum, int fallback) {
    const std::string text = Stored(values, name);
    bool ok = false;
    const int value = QString::fromStdString(text).toInt(&ok);
    return ok && value >= 0 && value <= maximum ? value : fallback;
}

}  // namespace

SourceSettingsDialog::SourceSettingsDialog(const ConfigValues& stored,
                                           const Environment& environment, FileChooser chooseFile,
                                           QWidget* parent)
    : QDialog(parent), m_stored(stored), m_chooseFile(std::move(chooseFile)) {
    setObjectName(QStringLiteral("SourceSettingsDialog"));
    setWindowTitle(Caption("数据源设置"));
    setModal(true);
    const ServiceSettings defaults;
    auto* layout = new QVBoxLayout(this);

    auto* intro =
        new QLabel(Caption("百度权重、搜狗权重需要爱站 API 密钥，谷歌PR 需要 Open PageRank 密钥；"
                           "没有密钥时这几列显示“未配置”。密钥存入系统密钥环，没有密钥环时存入"
                           "配置文件（只有本人可读）。"),
                   this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* keys = new QGroupBox(Caption("API 密钥"), this);
    auto* keyForm = new QFormLayout(keys);
    m_aizhanKey = new QLineEdit(keys);
    m_aizhanKey->setObjectName(QStringLiteral("AizhanKeyEdit"));
    m_oprKey = new QLineEdit(keys);
    m_oprKey->setObjectName(QStringLiteral("OprKeyEdit"));
    const std::pair<QLineEdit*, const char*> keyFields[] = {{m_aizhanKey, kAizhanKeyName},
                                                            {m_oprKey, kOprKeyName}};
    const char* keyCaptions[] = {"爱站 API 密钥（百度权重、搜狗权重）：",
                                 "Open PageRank 密钥（谷歌PR）："};
    for (std::size_t i = 0; i < 2; ++i) {
        auto [edit, name] = keyFields[i];
        edit->setEchoMode(QLineEdit::PasswordEchoOnEdit);
        edit->setText(FromUtf8(Stored(stored, name)));
        edit->setMinimumWidth(280);
        auto* note = NoteLabel(keys, name);
        keyForm->addRow(Caption(keyCaptions[i]), edit);
        keyForm->addRow(QString(), note);
        ShowOverride(edit, note, name, environment(name));
    }
    layout->addWidget(keys);

    auto* ranks = new QGroupBox(Caption("alexa 排名列表"), this);
    auto* rankLayout = new QVBoxLayout(ranks);
    m_rankAutomatic =
        new QRadioButton(Caption("自动下载公开的前一百万网站列表（每 7 天更新）"), ranks);
    m_rankAutomatic->setObjectName(QStringLiteral("RankAutomaticRadio"));
    m_rankFile = new QRadioButton(Caption("使用本地文件（每行“排名,域名”）："), ranks);
    m_rankFile->setObjectName(QStringLiteral("RankFileRadio"));
    m_rankPath = new QLineEdit(ranks);
    m_rankPath->setObjectName(QStringLiteral("RankFileEdit"));
    auto* browse = new QPushButton(Caption("浏览…"), ranks);
    browse->setObjectName(QStringLiteral("RankFileBrowse"));
    const std::string rankPath = Stored(stored, kRankListName);
    m_rankPath->setText(FromUtf8(rankPath));
    (rankPath.empty() ? m_rankAutomatic : m_rankFile)->setChecked(true);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_rankPath, 1);
    fileRow->addWidget(browse);
    rankLayout->addWidget(m_rankAutomatic);
    rankLayout->addWidget(m_rankFile);
    rankLayout->addLayout(fileRow);
    auto* rankNote = NoteLabel(ranks, kRankListName);
    rankLayout->addWidget(rankNote);
    ShowOverride(m_rankPath, rankNote, kRankListName, environment(kRankListName));
    if (m_overridden.contains(kRankListName)) {
        m_rankAutomatic->setEnabled(false);
        m_rankFile->setEnabled(false);
        m_rankFile->setChecked(true);
        browse->setEnabled(false);
    }
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = m_chooseFile ? m_chooseFile(this) : QString();
        if (path.isEmpty()) return;
        m_rankPath->setText(path);
        m_rankFile->setChecked(true);
    });
    connect(m_rankPath, &QLineEdit::textEdited, this, [this] { m_rankFile->setChecked(true); });
    layout->addWidget(ranks);

    auto* engines = new QGroupBox(Caption("搜索引擎（百度、搜狗、360 收录）"), this);
    auto* engineForm = new QFormLayout(engines);
    constexpr int kMaxInterval = 3600000;
    constexpr int kMaxBackoff = 86400;
    m_interval = SpinBox(engines, "EngineIntervalSpin", kMaxInterval,
                         StoredNumber(stored, kIntervalName, kMaxInterval,
                                      static_cast<int>(defaults.engineInterval.count())));
    m_backoff = SpinBox(engines, "EngineBackoffSpin", kMaxBackoff,
                        StoredNumber(stored, kBackoffName, kMaxBackoff,
                                     static_cast<int>(defaults.engineBackoff.count())));
    m_interval->setSuffix(Caption(" 毫秒"));
    m_backoff->setSuffix(Caption(" 秒"));
    auto* intervalNote = NoteLabel(engines, kIntervalName);
    auto* backoffNote = NoteLabel(engines, kBackoffName);
    engineForm->addRow(Caption("两次请求之间的间隔："), m_interval);
    engineForm->addRow(QString(), intervalNote);
    engineForm->addRow(Caption("遇到验证页后暂停："), m_backoff);
    engineForm->addRow(QString(), backoffNote);
    ShowOverride(m_interval, intervalNote, kIntervalName, environment(kIntervalName));
    ShowOverride(m_backoff, backoffNote, kBackoffName, environment(kBackoffName));
    layout->addWidget(engines);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("SettingsButtons"));
    buttons->button(QDialogButtonBox::Ok)->setText(Caption("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(Caption("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void SourceSettingsDialog::ShowOverride(QWidget* field, QLabel* note, const char* name,
                                        const char* value) {
    if (value == nullptr || *value == '\0') return;
    m_overridden[name] = value;
    field->setEnabled(false);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
        edit->setText(QString::fromUtf8(value));
    } else if (auto* spin = qobject_cast<QSpinBox*>(field)) {
        bool ok = false;
        const int number = QString::fromUtf8(value).toInt(&ok);
        if (ok) spin->setValue(number);
    }
    note->setText(Caption("由环境变量 ") + QString::fromLatin1(name) +
                  Caption(" 设定，这里的设置不起作用。"));
    note->show();
}

ConfigValues SourceSettingsDialog::Values() const {
    ConfigValues values;
    const auto put = [&](const char* name, const QString& value) {
        values[name] =
            m_overridden.contains(name) ? Stored(m_stored, name) : value.trimmed().toStdString();
    };
    put(kAizhanKeyName, m_aizhanKey->text());
    put(kOprKeyName, m_oprKey->text());
    put(kRankListName, m_rankFile->isChecked() ? m_rankPath->text() : QString());
    put(kIntervalName, QString::number(m_interval->value()));
    put(kBackoffName, QString::number(m_backoff->value()));
    return values;
}
