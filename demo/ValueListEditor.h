// A two-column key/value table whose keys are unique, edited as a list of "name=value" lines.
#pragma once

#include <QTableWidget>

#include <string>
#include <vector>

namespace corvane {

class TValueListEditor : public QTableWidget {
    Q_OBJECT

public:
    TValueListEditor(const QString& KeyTitle, const QString& ValueTitle, QWidget* Parent = nullptr);

    // One "name=value" line per row with a key, in row order; rows whose key is still empty are left out.
    std::vector<std::string> Strings() const;
    // Replaces every row; a line without "=" is a key with an empty value, a key seen before is skipped.
    void SetStrings(const std::vector<std::string>& Lines);

    // Appends a row and returns its index, or -1 when Key is not empty and already in the table.
    int InsertRow(const QString& Key, const QString& Value);
    void DeleteRow(int Row);
    // The row whose key is Key, or -1.
    int FindRow(const QString& Key) const;

signals:
    // A key was edited into one that another row has; the edit has been undone.
    void DuplicateKey(const QString& Key);

private:
    void KeyEdited(QTableWidgetItem* Item);

    bool FFilling = false;
};

} // namespace corvane
