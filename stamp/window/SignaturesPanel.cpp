#include "SignaturesPanel.h"

#include <QHeaderView>

namespace talvo::stamp {

SignaturesPanel::SignaturesPanel(QWidget* parent) : QTreeWidget(parent)
{
    setAccessibleName(QStringLiteral("文档中的签名"));
    setRootIsDecorated(false);
    setHeaderLabels({QStringLiteral("签名者"), QStringLiteral("签名时间"), QStringLiteral("页"),
                     QStringLiteral("验证"), QStringLiteral("覆盖范围")});
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    clearSignatures();
}

void SignaturesPanel::clearSignatures()
{
    clear();
}

void SignaturesPanel::showSignatures(const std::vector<SignatureReport>& reports)
{
    clear();
    if (reports.empty()) {
        auto* item = new QTreeWidgetItem(this, {QStringLiteral("文档中没有签名")}); // the tree owns it
        item->setFlags(Qt::ItemIsEnabled);
        return;
    }
    for (const SignatureReport& report : reports) {
        const QString page = report.page > 0 ? QString::number(report.page) : QStringLiteral("—");
        auto* item = new QTreeWidgetItem(
            this, {report.signer, report.signingTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), page,
                   verdictText(report.verdict), coverageText(report)}); // the tree owns it
        item->setToolTip(0, report.signer);
        item->setToolTip(3, report.certificateNote);
        if (report.verdict != SignatureReport::Verdict::Valid)
            item->setForeground(3, QColor(180, 0, 0));
    }
}

} // namespace talvo::stamp
