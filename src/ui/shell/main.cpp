#include "ui/common/appcontext.h"
#include "core/project/workfolder.h"
#include "ui/common/qtoperator.h"
#include "ui/common/uistyle.h"
#include "ui/shell/form1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

int main(int argc, char **argv)
{
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
