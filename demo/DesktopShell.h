// The window's way to the desktop: opening a file or an address with its default handler, and telling
// the user about a failure. Tests put a recording fake in its place.
#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace corvane {

class IDesktopShell {
public:
    virtual ~IDesktopShell() = default;
    // Opens a local file or a web address with the desktop's default handler.
    virtual void Open(const QUrl& Target) = 0;
    // Shows a failure in a message box over Parent.
    virtual void ShowError(QWidget* Parent, const QString& Text) = 0;
};

class TDesktopShell final : public IDesktopShell {
public:
    void Open(const QUrl& Target) override;
    void ShowError(QWidget* Parent, const QString& Text) override;
};

} // namespace corvane
