#include "ValueListEditor.h"

#include <QHeaderView>

namespace corvane {

namespace {
// The key a cell held before its last edit, so that a duplicate can be undone.
constexpr int AcceptedKeyRole = Qt::UserRole + 1;
} // namespace

TValueListEditor::TValueListEditor(const QString& KeyTitle, const QString& ValueTitle, QWidget* Parent)
    : QTableWidget(0, 2, Parent) {
    setHorizontalHeaderLabels({KeyTitle, ValueTitle});
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setVisible(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTableWidget::itemChanged, this, &TValueListEditor::KeyEdited);
}

std::vector<std::string> TValueListEditor::Strings() const {
    std::vector<std::string> Lines;
    Lines.reserve(static_cast<std::size_t>(rowCount()));
    for (int Row = 0; Row < rowCount(); ++Row) {
        const QTableWidgetItem* Key = item(Row, 0);
        // A row just added and not yet filled in must not become a rule that matches every font.
        if (!Key || Key->text().isEmpty()) continue;
        const QTableWidgetItem* Value = item(Row, 1);
        Lines.push_back((Key->text() + u'=' + (Value ? Value->text() : QString())).toStdString());
    }
    return Lines;
}

void TValueListEditor::SetStrings(const std::vector<std::string>& Lines) {
    setRowCount(0);
    for (const std::string& Line : Lines) {
        const QString Text = QString::fromStdString(Line);
        const qsizetype Separator = Text.indexOf(u'=');
        if (Separator < 0)
            InsertRow(Text, QString());
        else
            InsertRow(Text.left(Separator), Text.mid(Separator + 1));
    }
}

int TValueListEditor::InsertRow(const QString& Key, const QString& Value) {
    if (!Key.isEmpty() && FindRow(Key) >= 0) return -1;
    FFilling = true;
    const int Row = rowCount();
    insertRow(Row);
    auto* KeyItem = new QTableWidgetItem(Key);
    KeyItem->setData(AcceptedKeyRole, Key);
    setItem(Row, 0, KeyItem);
    setItem(Row, 1, new QTableWidgetItem(Value));
    FFilling = false;
    return Row;
}

void TValueListEditor::DeleteRow(int Row) {
    if (Row >= 0 && Row < rowCount()) removeRow(Row);
}

int TValueListEditor::FindRow(const QString& Key) const {
    for (int Row = 0; Row < rowCount(); ++Row) {
        const QTableWidgetItem* KeyItem = item(Row, 0);
        if (KeyItem && KeyItem->text() == Key) return Row;
    }
    return -1;
}

void TValueListEditor::KeyEdited(QTableWidgetItem* Item) {
    if (FFilling || Item->column() != 0) return;
    const QString Key = Item->text();
    const QString Accepted = Item->data(AcceptedKeyRole).toString();
    if (Key == Accepted) return;
    for (int Row = 0; Row < rowCount(); ++Row) {
        const QTableWidgetItem* Other = item(Row, 0);
        if (Row != Item->row() && Other && !Key.isEmpty() && Other->text() == Key) {
            FFilling = true;
            Item->setText(Accepted);
            FFilling = false;
            emit DuplicateKey(Key);
            return;
        }
    }
    FFilling = true;
    Item->setData(AcceptedKeyRole, Key);
    FFilling = false;
}

} // namespace corvane
