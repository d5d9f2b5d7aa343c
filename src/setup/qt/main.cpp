#include "environment.h"
#include "form1.h"
#include "qt_host.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setup::QtHost host;
    setup::Form1 window(host, setup::systemEnvironment());
    if (!window.Form_Load())
        return 0;
    window.showCentered();
    return app.exec();
}
