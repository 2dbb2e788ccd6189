#include "SignatureReport.h"

namespace talvo::stamp {

QString verdictText(SignatureReport::Verdict verdict)
{
    switch (verdict) {
    case SignatureReport::Verdict::Valid:
        return QStringLiteral("有效");
    case SignatureReport::Verdict::Invalid:
        return QStringLiteral("无效");
    case SignatureReport::Verdict::Changed:
        return QStringLiteral("签名的内容已被改动");
    case SignatureReport::Verdict::Unreadable:
        break;
    }
    return QStringLiteral("无法验证");
}

QString coverageText(const SignatureReport& report)
{
    if (report.verdict != SignatureReport::Verdict::Valid)
        return QStringLiteral("—");
    return report.coversWholeFile ? QStringLiteral("覆盖整个文档") : QStringLiteral("签名后文档有改动");
}

} // namespace talvo::stamp
