#include "tvScAutoPurge.h"

#include <QDate>
#include <cstdio>

#include "tvDaHeader.h"
#include "tvScDates.h"

namespace sec {

void RunAutoPurge() {
    const std::string setting = tvDa::GetSettingValue(0, kExpirySetting);
    const std::optional<int> months = ParseExpiryMonths(setting);
    if (!months) {
        if (!setting.empty())
            std::fprintf(stderr, "tvSecurity: %s holds \"%s\", not a whole number; no purge\n",
                         kExpirySetting, setting.c_str());
        return;
    }
    const std::optional<QDate> cutOff = ExpiryCutOff(QDate::currentDate(), *months);
    if (!cutOff) return;
    const std::string condition = "DATE_TIME_CREATED < '" + SqlDate(*cutOff) + "'";
    tvDa::DeleteRecords(0, "EVENTLOG", condition.c_str());
}

}  // namespace sec
