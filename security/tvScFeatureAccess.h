// Whether a user level may use a feature named by its code. Each feature stands alone:
// access is granted when the level is in the feature's own list, with no inheritance.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

namespace sec {

// True when the first FEATURE row with this code lists `level`. An unknown code, or a
// feature with an empty or null list, grants nothing.
bool FeatureGrantsLevel(const std::string& featureCode, int32_t level);

// The export CheckFeatureAccess: the session user's level; refused without a session.
bool CheckFeatureAccess(const std::string& featureCode);

// The export CheckFeatureAccessWithLogin: asks for a login and answers for the user who
// logged in. The session is never changed.
bool CheckFeatureAccessWithLogin(QWidget* owner, const std::string& featureCode,
                                 const std::string& userId, const std::string& password);

}  // namespace sec
