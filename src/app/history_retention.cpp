#include "app/history_retention.h"

#include "history/history_store.h"
#include "platform/user_settings.h"

int HistoryKeepDays(const UserSettings& settings) {
    bool ok = false;
    const int days = settings.Value(QStringLiteral("history/keep_days")).toInt(&ok);
    return ok && days > 0 ? days : 0;
}

void ApplyHistoryRetention(HistoryStore& store, int keepDays, HistoryTime now) {
    if (keepDays <= 0) return;
    constexpr HistoryTime kDay = 86400;
    store.Purge(now - static_cast<HistoryTime>(keepDays) * kDay);
}
