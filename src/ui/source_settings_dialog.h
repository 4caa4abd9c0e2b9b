#pragma once

#include <QDialog>
#include <functional>

#include "platform/user_config.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// "数据源设置": the API keys, the rank list (automatic or a file), the pause between engine
// requests and the engine back-off. A setting whose environment variable is set shows that
// value, cannot be edited here and says which variable sets it.
class SourceSettingsDialog final : public QDialog {
    Q_OBJECT

  public:
    using Environment = std::function<const char*(const char*)>;
    // Picks a file for the rank list; empty when none was picked.
    using FileChooser = std::function<QString(QWidget* parent)>;

    SourceSettingsDialog(const ConfigValues& stored, const Environment& environment,
                         FileChooser chooseFile, QWidget* parent = nullptr);

    // Every setting of the dialog by variable name; an empty value means "not set". Settings
    // that the environment overrides keep their stored value.
    ConfigValues Values() const;

  private:
    void ShowOverride(QWidget* field, QLabel* note, const char* name, const char* value);

    ConfigValues m_stored;
    ConfigValues m_overridden;  // name: the environment's value
    QLineEdit* m_oprKey = nullptr;
    QLineEdit* m_aizhanKey = nullptr;
    QRadioButton* m_rankAutomatic = nullptr;
    QRadioButton* m_rankFile = nullptr;
    QLineEdit* m_rankPath = nullptr;
    QSpinBox* m_interval = nullptr;
    QSpinBox* m_backoff = nullptr;
    FileChooser m_chooseFile;
};

// The variable names of the settings the dialog edits, and those that are secret.
inline constexpr const char* kOprKeyName = "ZARKEL_LOOKUP_OPR_KEY";
inline constexpr const char* kAizhanKeyName = "ZARKEL_LOOKUP_AIZHAN_KEY";
inline constexpr const char* kRankListName = "ZARKEL_LOOKUP_RANK_LIST";
inline constexpr const char* kIntervalName = "ZARKEL_LOOKUP_ENGINE_INTERVAL_MS";
inline constexpr const char* kBackoffName = "ZARKEL_LOOKUP_ENGINE_BACKOFF_S";
