#include "Program.h"
#include "frmArdenix.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Program::kTitle);
    QApplication::setWindowIcon(Program::Icon());

    frmArdenix window;
    window.show();
    return app.exec();
}
