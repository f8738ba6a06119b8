// Takes a picture of every page of the demo window, for the documentation.
// Usage: corvane_demo_screenshots OUTPUT-FOLDER   (the folder browser shows the current folder)
#include "DesktopShell.h"
#include "umain.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

// Nothing is clicked while the pictures are taken; a stray click must not open anything.
class TNoDesktop final : public corvane::IDesktopShell {
public:
    void Open(const QUrl&) override {}
    void ShowError(QWidget*, const QString&) override {}
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication Application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: corvane_demo_screenshots OUTPUT-FOLDER\n";
        return 2;
    }
    const QDir Output(QString::fromLocal8Bit(argv[1]));
    corvane::TfrmMain Window(std::make_shared<TNoDesktop>(), QCoreApplication::applicationDirPath());
    Window.show();

    const std::pair<int, int> Pages[] = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {2, 3}};
    const char* Names[] = {"demo-files",          "demo-editor",           "demo-settings-general",
                           "demo-settings-fonts", "demo-settings-wrapper", "demo-settings-pictures"};
    int Failures = 0;
    for (std::size_t Index = 0; Index < std::size(Pages); ++Index) {
        Window.PageControl1->setCurrentIndex(Pages[Index].first);
        Window.PageControl2->setCurrentIndex(Pages[Index].second);
        // Let the folder views finish reading the disk in the background and every widget paint.
        QEventLoop Wait;
        QTimer::singleShot(Index == 0 ? 1500 : 300, &Wait, &QEventLoop::quit);
        Wait.exec();
        const QString File = Output.filePath(QString::fromLatin1(Names[Index]) + ".png");
        if (!Window.grab().save(File, "PNG")) {
            QTextStream(stderr) << "cannot write " << File << "\n";
            ++Failures;
        }
    }
    return Failures == 0 ? 0 : 1;
}
