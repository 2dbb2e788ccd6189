#pragma once

#include <QFont>

namespace talvo {

// Noto CJK's Simplified Chinese face. Outside a Chinese locale fontconfig falls back to its
// Japanese face, whose glyph shapes differ (the full-width "！" sits centred).
inline constexpr const char* kSimplifiedChineseFamily = "Noto Sans CJK SC";

// The font's own face for Latin text, then the Simplified Chinese face before any fallback.
QFont preferSimplifiedChinese(const QFont& font);

// The same for the application's font, which message boxes, file dialogs and every window not
// built from a template use.
void preferSimplifiedChineseApplicationFont();

} // namespace talvo
