#include "ui/common/appcontext.h"
#include "core/project/workfolder.h"
#include "ui/common/qtoperator.h"
#include "ui/common/uistyle.h"
#include "ui/shell/form1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    // Answered before any window system is needed, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs("usage: Zorvel [--help | --version]\n\n"
                       "The authoring program for Persian e-book CDs: start it without\n"
                       "arguments to open its main window. For scripted exports, use\n"
                       "zorvel-export (zorvel-export --help).\n",
                stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("Zorvel " ZORVEL_VERSION "\n", stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvel"));
    QApplication::setLayoutDirection(Qt::RightToLeft);
    QApplication::setFont(zorvel::formFont()); // message boxes included

    zorvel::QtOperator op;
    zorvel::AppContext ctx;
    ctx.op = &op;
    const QString programFolder = QApplication::applicationDirPath();
    ctx.programFolder = zorvel::chooseWorkFolder(
        programFolder, QFileInfo(programFolder).isWritable(), QDir::homePath());

    zorvel::Form1 form1(ctx);
    QObject::connect(&form1, &zorvel::Form1::shutdown, &app, &QApplication::quit);
    form1.show();
    return app.exec();
}
