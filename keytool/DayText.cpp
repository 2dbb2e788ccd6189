#include "DayText.h"

#include "key/SealTexts.h"

#include <QDate>
#include <QString>

namespace talvo::keytool {

std::optional<std::string> midnightOfDay(const std::string& day)
{
    // Exactly four, two and two digits: QDate alone would also take "2024-5-6".
    if (day.size() != 10 || day[4] != '-' || day[7] != '-')
        return std::nullopt;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (day[i] < '0' || day[i] > '9')
            return std::nullopt;
    }
    const QDate date = QDate::fromString(QString::fromLatin1(day.data(), 10), QStringLiteral("yyyy-MM-dd"));
    std::string text = midnightText(date);
    if (text.empty())
        return std::nullopt;
    return text;
}

} // namespace talvo::keytool
