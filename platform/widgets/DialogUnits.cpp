#include "DialogUnits.h"

#include "ChineseFont.h"

#include <QFontMetrics>
#include <QStringList>

namespace talvo {

QFont dialogFont(const char* face, int pointSize)
{
    const QString family = QString::fromUtf8(face);
    QFont font;
    QStringList families;
    if (family == QStringLiteral("宋体"))
        families << QStringLiteral("SimSun");
    else if (family != QStringLiteral("System"))
        families << family;
    families << QString::fromLatin1(kSimplifiedChineseFamily) << QStringLiteral("Noto Sans CJK")
             << QStringLiteral("Sans Serif");
    font.setFamilies(families);
    font.setPixelSize(dialogUnitsToPixels(pointSize, 96, 72));
    if (family == QStringLiteral("System"))
        font.setBold(true);
    return font;
}

DialogBaseUnits dialogBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

int dialogUnitsToPixels(int units, int baseUnit, int divisor)
{
    const long long product = static_cast<long long>(units) * baseUnit;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

QRect dialogRectToPixels(const DialogBaseUnits& base, int x, int y, int width, int height)
{
    return QRect(dialogUnitsToPixels(x, base.x, 4), dialogUnitsToPixels(y, base.y, 8),
                 dialogUnitsToPixels(width, base.x, 4), dialogUnitsToPixels(height, base.y, 8));
}

} // namespace talvo
