// Texts of the security library: locale look-up, the 8-bit text conversions, SQL
// literals and the message boxes of the general library.
#pragma once

#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>

#include "tvGeneralApi.h"

namespace sec {

// The locale's display text for an English key (the key itself without a locale library).
QString Res(const char* key);

// `pattern` with its "%s" placeholders replaced by `args`, left to right. Inserted texts
// are not scanned again, so a value holding "%s" stays as it is.
QString FormatText(const QString& pattern, std::initializer_list<QString> args);

// Texts cross the family boundary as 8-bit strings; ours are UTF-8.
inline QString ToQ(const std::string& text) { return QString::fromUtf8(text); }
inline std::string ToS(const QString& text) { return text.toUtf8().toStdString(); }

// `text` ready to stand between single quotes in a statement: every quote doubled.
std::string SqlEscape(std::string_view text);

// ShowMsg of the general library with an OK button; kinds as in tvGeneralApi.h.
int ShowMessage(const QString& text, int kind);
inline int Warn(const QString& text) { return ShowMessage(text, tvMsgWarning); }
inline int Inform(const QString& text) { return ShowMessage(text, tvMsgInformation); }
inline int Fail(const QString& text) { return ShowMessage(text, tvMsgError); }
// A confirmation with Yes and No; returns the answer (tvResYes, tvResNo, ...).
int AskYesNo(const QString& text);

}  // namespace sec
