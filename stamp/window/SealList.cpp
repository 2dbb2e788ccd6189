#include "SealList.h"

#include "SealMime.h"

#include <QMimeData>

namespace talvo::stamp {

SealList::SealList(QWidget* parent) : QListWidget(parent)
{
    setAccessibleName(QStringLiteral("签章列表"));
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setIconSize(QSize(64, 64));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(true);
}

QStringList SealList::mimeTypes() const
{
    return {QString::fromLatin1(kSealMimeType)};
}

QMimeData* SealList::mimeData(const QList<QListWidgetItem*>& items) const
{
    if (items.size() != 1 || !(items.front()->flags() & Qt::ItemIsDragEnabled))
        return nullptr;
    auto* carried = new QMimeData; // the drag takes it
    carried->setData(QString::fromLatin1(kSealMimeType),
                     QByteArray::number(items.front()->data(kNumberRole).toInt()));
    return carried;
}

} // namespace talvo::stamp
