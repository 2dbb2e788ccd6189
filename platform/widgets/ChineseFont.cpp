#include "ChineseFont.h"

#include <QApplication>
#include <QFontInfo>
#include <QStringList>

namespace talvo {

QFont preferSimplifiedChinese(const QFont& font)
{
    const QString chinese = QString::fromLatin1(kSimplifiedChineseFamily);
    // The face fontconfig resolved, not an alias such as "Sans Serif" that a family list
    // would not match; a CJK face of another language would draw the Chinese itself.
    const QString own = QFontInfo(font).family();
    QFont preferred(font);
    preferred.setFamilies(own.startsWith(QStringLiteral("Noto Sans CJK")) ? QStringList{chinese}
                                                                          : QStringList{own, chinese});
    return preferred;
}

void preferSimplifiedChineseApplicationFont()
{
    QApplication::setFont(preferSimplifiedChinese(QApplication::font()));
}

} // namespace talvo
