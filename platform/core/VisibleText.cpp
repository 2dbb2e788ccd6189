#include "VisibleText.h"

#include "platform/codepage/VisibleEscape.h"

namespace talvo {

QString visibleText(const QString& text, Backslash backslash)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown += text[i];
            shown += text[++i];
        } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
            shown += QStringLiteral("\\x") +
                     QStringLiteral("%1").arg(unit - 0xDC00u, 2, 16, QLatin1Char('0')).toUpper();
        } else if (QChar::isSurrogate(unit)) {
            shown += QStringLiteral("\\u") +
                     QStringLiteral("%1").arg(unsigned{unit}, 4, 16, QLatin1Char('0')).toUpper();
        } else if (const std::string escape = codepage::escapeOf(unit, backslash == Backslash::Escaped);
                   !escape.empty()) {
            shown += QString::fromLatin1(escape);
        } else {
            shown += text[i];
        }
    }
    return shown;
}

} // namespace talvo
