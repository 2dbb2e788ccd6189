#include "Snapshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

namespace talvo {

bool saveSnapshot(QWidget& widget, const QString& directory, const QString& name)
{
    const QString path = QDir(directory).filePath(name);
    const bool saved = widget.grab().save(path);
    std::fprintf(stdout, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace talvo
