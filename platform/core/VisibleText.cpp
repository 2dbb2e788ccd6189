#include "VisibleText.h"

namespace talvo {

namespace {

bool reordersText(char16_t unit)
{
    return unit == 0x061C || unit == 0x200E || unit == 0x200F || (unit >= 0x202A && unit <= 0x202E) ||
           (unit >= 0x2066 && unit <= 0x2069);
}

bool isControl(char16_t unit)
{
    return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
}

QString hex(unsigned value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString visibleText(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown += text[i];
            shown += text[++i];
        } else if (unit == u'\n') {
            shown += QStringLiteral("\\n");
        } else if (unit == u'\t') {
            shown += QStringLiteral("\\t");
        } else if (unit == u'\r') {
            shown += QStringLiteral("\\r");
        } else if (unit < 0x80 && isControl(unit)) {
            shown += QStringLiteral("\\x") + hex(unit, 2);
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            shown += QStringLiteral("\\x") + hex(unit - 0xDC00u, 2);
        } else if (isControl(unit) || reordersText(unit) || QChar::isSurrogate(unit)) {
            shown += QStringLiteral("\\u") + hex(unit, 4);
        } else {
            shown += text[i];
        }
    }
    return shown;
}

} // namespace talvo
