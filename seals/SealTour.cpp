#include "SealTour.h"

#include "SealListDialog.h"
#include "SealNameDialog.h"
#include "SealTimeDialog.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

namespace talvo {

namespace {

void save(QWidget& window, const QString& directory, const QString& name)
{
    const QString path = QDir(directory).filePath(name);
    const bool saved = window.grab().save(path);
    std::fprintf(stdout, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
}

} // namespace

void renderSealDialogsForTour(KeyDriverBinding* binding, const QString& directory)
{
    QDir().mkpath(directory);
    {
        SealListDialog list;
        list.setBinding(binding);
        list.show();
        // Choose the first seal as an operator would, so that its picture and times show.
        if (auto* combo = list.controlAs<QComboBox>(SealListDialog::kSealCombo);
            combo && combo->count() > 0) {
            combo->setCurrentIndex(0);
            emit combo->activated(0);
        }
        save(list, directory, QStringLiteral("seals-list.png"));
        list.close();
    }
    {
        SealNameDialog name;
        name.show();
        if (auto* edit = name.controlAs<QLineEdit>(SealNameDialog::kNameEdit))
            edit->setText(QStringLiteral("合同专用章"));
        save(name, directory, QStringLiteral("seals-name.png"));
        name.close();
    }
    {
        SealTimeDialog time;
        time.show();
        save(time, directory, QStringLiteral("seals-time.png"));
        time.close();
    }
}

} // namespace talvo
