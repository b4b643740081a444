// Writes the window icon as PNG files in the freedesktop hicolor layout, so
// the installed icons are exactly the pictures the window shows.
//
//   corvel-sun-icons <folder> <name> <size>...
//   -> <folder>/<size>x<size>/apps/<name>.png

#include "widgets/Pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: corvel-sun-icons <folder> <name> <size>...\n");
        return 2;
    }
    // Painting needs no screen; the offscreen platform works without one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QByteArray(argv[i]).toInt(&ok);
        if (!ok || size < 16) {
            std::fprintf(stderr, "corvel-sun-icons: bad size \"%s\"\n", argv[i]);
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString file = QStringLiteral("%1/%2.png").arg(dir, name);
        if (!QDir().mkpath(dir) || !Pictures::sun(size).save(file, "PNG")) {
            std::fprintf(stderr, "corvel-sun-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
