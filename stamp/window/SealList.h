#pragma once

#include <QListWidget>

namespace talvo::stamp {

// The seals' list: an item carries its seal number when it is dragged; only a seal in force
// can be dragged at all.
class SealList : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kNumberRole = Qt::UserRole;

    explicit SealList(QWidget* parent = nullptr);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
};

} // namespace talvo::stamp
