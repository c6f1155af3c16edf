#include "tvScEvents.h"

#include <unistd.h>

#include <climits>
#include <vector>

#include "tvDaHeader.h"
#include "tvScMain.h"
#include "tvScTexts.h"

namespace sec {

std::string LocalHostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

bool NewEvent(const std::string& text, const std::string& moduleName, int32_t eventType) {
    static const std::vector<std::string> kNames = {"EVENT", "MODULE", "EVENT_TYPE", "USER_ID",
                                                    "COMPUTER"};
    const std::vector<std::string> values = {text, moduleName, std::to_string(eventType),
                                             SessionUserID, LocalHostName()};
    return tvDa::InsertRecord(0, "EVENTLOG", kNames, values) == 1;
}

bool LogEvent(const QString& text, int32_t eventType) {
    return NewEvent(ToS(text), ModuleName, eventType);
}

}  // namespace sec
