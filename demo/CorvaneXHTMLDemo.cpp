// The demonstration program: one window, run until it is closed.
#include "DesktopShell.h"
#include "umain.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    QApplication Application(argc, argv);
    corvane::TfrmMain Window(std::make_shared<corvane::TDesktopShell>(),
                             QCoreApplication::applicationDirPath());
    Window.show();
    return QApplication::exec();
}
