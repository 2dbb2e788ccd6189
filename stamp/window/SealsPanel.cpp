#include "SealsPanel.h"

#include "SealList.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace talvo::stamp {

namespace {

QIcon sealIcon(const QByteArray& picture, bool inForce)
{
    QImage image = QImage::fromData(picture);
    if (image.isNull())
        return {};
    image = image.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image), QIcon::Normal);
    if (!inForce)
        icon.addPixmap(QPixmap::fromImage(image.convertToFormat(QImage::Format_Grayscale8)), QIcon::Disabled);
    return icon;
}

} // namespace

SealsPanel::SealsPanel(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_state = new QLabel(this);
    m_state->setWordWrap(true);
    m_list = new SealList(this);
    layout->addWidget(m_state);
    layout->addWidget(m_list, 1);
    m_state->setBuddy(m_list);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (item->flags() & Qt::ItemIsEnabled)
            Q_EMIT sealActivated(item->data(SealList::kNumberRole).toInt());
    });
    showKey(false, {}, {});
}

void SealsPanel::showKey(bool present, const std::vector<KeySeal>& seals, const QString& problem)
{
    m_present = present;
    m_seals = present && problem.isEmpty() ? seals : std::vector<KeySeal>{};
    m_list->clear();
    if (!present)
        m_state->setText(QStringLiteral("未检测到 USB Key，请插入。"));
    else if (!problem.isEmpty())
        m_state->setText(QStringLiteral("读取签章失败：%1").arg(problem));
    else if (m_seals.empty())
        m_state->setText(QStringLiteral("USB Key 中没有签章。"));
    else
        m_state->setText(QStringLiteral("拖动签章到页面上，或选中后单击页面："));
    for (const KeySeal& seal : m_seals) {
        auto* item = new QListWidgetItem(m_list); // the list owns it
        item->setData(SealList::kNumberRole, seal.number);
        item->setIcon(sealIcon(seal.picture, seal.inForce));
        if (seal.inForce) {
            item->setText(QStringLiteral("%1\n有效期至 %2").arg(seal.name, seal.expiry));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        } else {
            item->setText(QStringLiteral("%1\n%2，不能使用").arg(seal.name, seal.reason));
            item->setFlags(Qt::NoItemFlags);
        }
        item->setToolTip(item->text());
    }
}

const KeySeal* SealsPanel::seal(int number) const
{
    for (const KeySeal& seal : m_seals)
        if (seal.number == number)
            return &seal;
    return nullptr;
}

const KeySeal* SealsPanel::chosenSeal() const
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected() || !(item->flags() & Qt::ItemIsEnabled))
        return nullptr;
    const KeySeal* found = seal(item->data(SealList::kNumberRole).toInt());
    return found && found->inForce ? found : nullptr;
}

} // namespace talvo::stamp
