#include "tvScFeatureAccess.h"

#include <algorithm>
#include <optional>

#include "tvGnHeader.h"
#include "tvScAutoPurge.h"
#include "tvScEvents.h"
#include "tvScLogin.h"
#include "tvScQuery.h"
#include "tvScMain.h"
#include "tvScTexts.h"

namespace sec {

bool FeatureGrantsLevel(const std::string& featureCode, int32_t level) {
    // The code is a caller's text: its quotes are doubled so it can only ever be compared.
    DataSetPtr dataset =
        Query("SELECT * FROM FEATURE WHERE FEATURE_CODE = '" + SqlEscape(featureCode) + "'");
    if (!dataset || dataset->RecordCount() <= 0) return false;
    dataset->First();
    const std::vector<int32_t> levels = tvGn::GetArrayInt(FieldText(*dataset, "USER_LEVEL_IDS"));
    return std::find(levels.begin(), levels.end(), level) != levels.end();
}

bool CheckFeatureAccess(const std::string& featureCode) {
    if (SessionUserID.empty()) {
        Warn(Res("You must be logged in to get the access to the features!"));
        return false;
    }
    return FeatureGrantsLevel(featureCode, SessionUserLevel);
}

bool CheckFeatureAccessWithLogin(QWidget* owner, const std::string& featureCode,
                                 const std::string& userId, const std::string& password) {
    RunAutoPurge();
    const std::optional<std::string> user = RunLoginDialog(owner, userId, password);
    if (!user) return false;
    // This event text is used as it stands; it carries the session user, not the one who
    // just logged in.
    LogEvent(QStringLiteral("User login to check feature access"));
    return FeatureGrantsLevel(featureCode, QueryUserLevel(*user));
}

}  // namespace sec
