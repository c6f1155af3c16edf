#include "tvScDates.h"

#include <cctype>
#include <cmath>

namespace sec {
namespace {

// Splits a short date pattern into its tokens and calls `visit(token)` for each; '/'
// becomes the separator, letters other than the date tokens are literal.
template <typename Visit>
void WalkPattern(std::string_view pattern, Visit visit) {
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == 'y' || c == 'm' || c == 'd') {
            std::size_t run = 1;
            while (i + run < pattern.size() && pattern[i + run] == c) ++run;
            visit(std::string_view(pattern.data() + i, run));
            i += run;
        } else {
            visit(std::string_view(pattern.data() + i, 1));
            ++i;
        }
    }
}

}  // namespace

std::optional<int> ParseExpiryMonths(std::string_view text) {
    bool ok = false;
    const int value =
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<QDate> ExpiryCutOff(QDate today, int months) {
    if (months < 0 || !today.isValid()) return std::nullopt;
    const QDate cutOff = today.addMonths(-months);
    if (!cutOff.isValid() || cutOff.year() < 1) return std::nullopt;
    return cutOff;
}

std::string SqlDate(QDate date) { return date.toString("yyyy-MM-dd").toStdString(); }

std::string DayRangeCondition(const char* column, QDate from, QDate to) {
    return std::string(column) + " >= '" + SqlDate(from) + "' AND " + column + " < '" +
           SqlDate(to.addDays(1)) + "'";
}

QString FormatDate(QDate date, std::string_view pattern, char separator) {
    QString out;
    WalkPattern(pattern, [&](std::string_view token) {
        const char c = token[0];
        if (c == '/') {
            out += QChar::fromLatin1(separator);
        } else if (c == 'y') {
            out += token.size() <= 2 ? QString::number(date.year() % 100).rightJustified(2, '0')
                                     : QString::number(date.year()).rightJustified(4, '0');
        } else if (c == 'm') {
            out += token.size() == 1 ? QString::number(date.month())
                                     : QString::number(date.month()).rightJustified(2, '0');
        } else if (c == 'd') {
            out += token.size() == 1 ? QString::number(date.day())
                                     : QString::number(date.day()).rightJustified(2, '0');
        } else {
            out += QString::fromUtf8(token.data(), static_cast<qsizetype>(token.size()));
        }
    });
    return out;
}

QString DateEditFormat(std::string_view pattern, char separator) {
    QString out;
    WalkPattern(pattern, [&](std::string_view token) {
        const char c = token[0];
        if (c == '/')
            out += QChar::fromLatin1(separator);
        else if (c == 'y')
            out += token.size() <= 2 ? "yy" : "yyyy";
        else if (c == 'm')
            out += token.size() == 1 ? "M" : "MM";
        else if (c == 'd')
            out += token.size() == 1 ? "d" : "dd";
        else if (std::isalpha(static_cast<unsigned char>(c)))
            out += "'" + QString::fromUtf8(token.data(), static_cast<qsizetype>(token.size())) +
                   "'";  // letters would be read as format tokens
        else
            out += QString::fromUtf8(token.data(), static_cast<qsizetype>(token.size()));
    });
    return out;
}

QDateTime FromDayCount(double days) {
    if (!std::isfinite(days)) return {};
    const double whole = std::floor(days);
    const auto ms = static_cast<qint64>(std::llround((days - whole) * 86400000.0));
    const QDate date = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    return QDateTime(date, QTime(0, 0)).addMSecs(ms);
}

}  // namespace sec
