#include "DesktopShell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>

namespace corvane {

void TDesktopShell::Open(const QUrl& Target) {
    if (!QDesktopServices::openUrl(Target))
        QMessageBox::warning(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                             QStringLiteral("No program could open %1").arg(Target.toDisplayString()));
}

void TDesktopShell::ShowError(QWidget* Parent, const QString& Text) {
    QMessageBox::critical(Parent, QApplication::applicationDisplayName(), Text);
}

} // namespace corvane
