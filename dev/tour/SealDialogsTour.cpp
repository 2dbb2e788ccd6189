#include "SealDialogsTour.h"

#include "Snapshot.h"
#include "resources/ControlIds.h"
#include "seals/SealListDialog.h"
#include "seals/SealNameDialog.h"
#include "seals/SealTimeDialog.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

namespace talvo {

void renderSealDialogsForTour(KeyDriverBinding* binding, const QString& directory)
{
    QDir().mkpath(directory);
    {
        SealListDialog list;
        list.setBinding(binding);
        list.show();
        // Choose the first seal as an operator would, so that its picture and times show.
        if (auto* combo = list.controlAs<QComboBox>(ids::sealList::SealCombo); combo && combo->count() > 0) {
            combo->setCurrentIndex(0);
            emit combo->activated(0);
        }
        saveSnapshot(list, directory, QStringLiteral("seals-list.png"));
        list.close();
    }
    {
        SealNameDialog name;
        name.show();
        if (auto* edit = name.controlAs<QLineEdit>(ids::sealName::NameEdit))
            edit->setText(QStringLiteral("合同专用章"));
        saveSnapshot(name, directory, QStringLiteral("seals-name.png"));
        name.close();
    }
    {
        SealTimeDialog time;
        time.show();
        saveSnapshot(time, directory, QStringLiteral("seals-time.png"));
        time.close();
    }
}

} // namespace talvo
