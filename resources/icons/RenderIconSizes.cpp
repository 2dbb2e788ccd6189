// Build-time helper: renders the one source icon into the hicolor theme's sizes.
// Usage: render-icon-sizes SOURCE.png OUTPUT_DIR NAME SIZE...
// writes OUTPUT_DIR/<size>x<size>/apps/NAME.png for each size.

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s SOURCE.png OUTPUT_DIR NAME SIZE...\n", argv[0]);
        return 1;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    const QString outputDir = QString::fromLocal8Bit(argv[2]);
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        // Only down: a larger picture made from a small one adds blur, not detail.
        if (size <= 0 || size > source.width() || size > source.height()) {
            std::fprintf(stderr, "%s: %s is not a size below the source's %dx%d\n", argv[0], argv[i],
                         source.width(), source.height());
            return 1;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(outputDir).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(dir, name);
        const QImage scaled = source.convertToFormat(QImage::Format_ARGB32)
                                  .scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(dir) || !scaled.save(file, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(file));
            return 1;
        }
    }
    return 0;
}
