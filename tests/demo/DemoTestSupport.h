// Helpers shared by the window tests: a desktop that records instead of opening, and file access.
#pragma once

#include "DesktopShell.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <string>
#include <vector>

namespace corvane::test {

class TRecordingShell final : public IDesktopShell {
public:
    void Open(const QUrl& Target) override { Opened.push_back(Target); }
    void ShowError(QWidget*, const QString& Text) override { Errors.push_back(Text); }

    std::vector<QUrl> Opened;
    QStringList Errors;
};

inline std::string ReadBytes(const QString& Path) {
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) return {};
    const QByteArray Bytes = File.readAll();
    return std::string(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
}

inline void WriteBytes(const QString& Path, const std::string& Bytes) {
    QFile File(Path);
    if (File.open(QIODevice::WriteOnly)) File.write(Bytes.data(), static_cast<qint64>(Bytes.size()));
}

// The style attribute of the element whose content is exactly Text, or "(missing)".
inline std::string StyleAround(const std::string& Html, const std::string& Text) {
    const std::size_t TextAt = Html.find(">" + Text + "<");
    if (TextAt == std::string::npos) return "(missing)";
    const std::size_t TagAt = Html.rfind('<', TextAt);
    const std::string Tag = Html.substr(TagAt, TextAt - TagAt);
    const std::size_t StyleAt = Tag.find("style=\"");
    if (StyleAt == std::string::npos) return {};
    const std::size_t End = Tag.find('"', StyleAt + 7);
    return Tag.substr(StyleAt + 7, End - StyleAt - 7);
}

} // namespace corvane::test
