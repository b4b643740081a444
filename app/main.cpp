#include "app/Form1.h"
#include "browse/QtCommonDialog.h"
#include "playback/MpvEngine.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvel Media Player"));
    QApplication::setApplicationVersion(QStringLiteral("2.6"));

    MpvEngine engine;
    QtCommonDialog dialog;
    Form1 window(engine, dialog);
    dialog.setParentWidget(&window);
    window.show();
    return QApplication::exec();
}
