// Writes the program's icon as PNG files for the hicolor icon theme:
// OUTDIR/NxN/apps/kestrava.png for each size N given. Runs at build time, headless.

#include "AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fputs("usage: kestrava-render-icon OUTDIR SIZE...\n", stderr);
        return 2;
    }
    const QIcon icon = kestrava::KestravaAppIcon();
    for (const QString &arg : args.mid(2)) {
        const int size = arg.toInt();
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        if (size <= 0 || pixmap.size() != QSize(size, size)) {
            std::fprintf(stderr, "kestrava-render-icon: no %s pixel icon\n", qPrintable(arg));
            return 1;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(1)).arg(size);
        if (!QDir().mkpath(folder) || !pixmap.save(folder + QStringLiteral("/kestrava.png"))) {
            std::fprintf(stderr, "kestrava-render-icon: cannot write into %s\n",
                         qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
