#include "rkRichPopup.h"

#include <QActionGroup>
#include <QClipboard>
#include <QFont>
#include <QFontDialog>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

#include <cassert>

namespace corvane {

TRkRichPopUpMenu::TRkRichPopUpMenu(QWidget* Parent) : QMenu(Parent) {
    FAlignmentGroup = new QActionGroup(this);
    FAlignmentGroup->setExclusive(true);
}

TRkRichPopUpMenu::~TRkRichPopUpMenu() {
    // A dialog of our own may hang off the window; it goes with the menu either way.
    delete FOwnFontDialog.data();
}

void TRkRichPopUpMenu::SetFontDialog(QFontDialog* Value) {
    if (FFontDialog != Value) FFontDialog = Value;
}

void TRkRichPopUpMenu::SetLanguage(TLanguage Value) {
    if (FLanguage != Value) FLanguage = Value;
}

void TRkRichPopUpMenu::SetUseShortcuts(bool Value) {
    if (FUseShortcuts != Value) FUseShortcuts = Value;
}

void TRkRichPopUpMenu::Loaded() {
    if (FLoaded) return;
    FLoaded = true;
    if (!FFontDialog) {
        FOwnFontDialog = new QFontDialog(parentWidget());
        // The toolkit's own dialog behaves the same on every desktop and under the offscreen platform.
        FOwnFontDialog->setOption(QFontDialog::DontUseNativeDialog);
        FFontDialog = FOwnFontDialog;
    }

    AddItem(miUndo, "Undo", "Rückgängig", QKeySequence(Qt::CTRL | Qt::Key_Z));
    AddSeparator(miSeparator1);
    AddItem(miCut, "Cut", "Ausschneiden", QKeySequence(Qt::CTRL | Qt::Key_X));
    AddItem(miCopy, "Copy", "Kopieren", QKeySequence(Qt::CTRL | Qt::Key_C));
    AddItem(miPaste, "Paste", "Einfügen", QKeySequence(Qt::CTRL | Qt::Key_V));
    AddItem(miDelete, "Delete", "Löschen", QKeySequence(Qt::Key_Delete));
    AddItem(miSelectAll, "Select all", "Alles markieren", QKeySequence(Qt::CTRL | Qt::Key_A));
    AddSeparator(miSeparator2);
    AddItem(miFont, "Font...", "Schriftart...", QKeySequence());
    AddSeparator(miSeparator3);
    AddItem(miBold, "Bold", "Fett", QKeySequence(Qt::CTRL | Qt::Key_B));
    AddItem(miUnderline, "Underlined", "Unterstrichen", QKeySequence(Qt::CTRL | Qt::Key_U));
    AddItem(miItalic, "Italic", "Kursiv", QKeySequence(Qt::CTRL | Qt::Key_I));
    AddSeparator(miSeparator4);
    AddItem(miAlignLeft, "Align left", "Linksbündig", QKeySequence());
    AddItem(miAlignCenter, "Centered", "Zentriert", QKeySequence());
    AddItem(miAlignRight, "Align Right", "Rechtsbündig", QKeySequence());
    AddSeparator(miSeparator5);
    AddItem(miBullet, "Bullet", "Aufzählung", QKeySequence());
    AddItem(miHyperlink, "Hyperlink", "Hyperlink", QKeySequence());

    for (TItem Index : {miBold, miUnderline, miItalic, miAlignLeft, miAlignCenter, miAlignRight, miBullet})
        FItems[Index]->setCheckable(true);
    for (TItem Index : {miAlignLeft, miAlignCenter, miAlignRight})
        FAlignmentGroup->addAction(FItems[Index]);
    FItems[miAlignLeft]->setChecked(true);

    const auto Connect = [this](TItem Index, auto Action) {
        connect(FItems[Index], &QAction::triggered, this, [this, Action] {
            if (FEditor) Action(*FEditor);
        });
    };
    Connect(miUndo, [](QTextEdit& Editor) { Editor.undo(); });
    Connect(miCut, [](QTextEdit& Editor) { Editor.cut(); });
    Connect(miCopy, [](QTextEdit& Editor) { Editor.copy(); });
    Connect(miPaste, [](QTextEdit& Editor) { Editor.paste(); });
    Connect(miDelete, [](QTextEdit& Editor) {
        QTextCursor Cursor = Editor.textCursor();
        Cursor.removeSelectedText();
        Editor.setTextCursor(Cursor);
    });
    Connect(miSelectAll, [](QTextEdit& Editor) { Editor.selectAll(); });
    Connect(miFont, [this](QTextEdit&) { ChooseFont(); });
    Connect(miBold, [this](QTextEdit&) { ToggleBold(); });
    Connect(miUnderline, [this](QTextEdit&) { ToggleUnderline(); });
    Connect(miItalic, [this](QTextEdit&) { ToggleItalic(); });
    Connect(miAlignLeft, [this](QTextEdit&) { Align(Qt::AlignLeft); });
    Connect(miAlignCenter, [this](QTextEdit&) { Align(Qt::AlignHCenter); });
    Connect(miAlignRight, [this](QTextEdit&) { Align(Qt::AlignRight); });
    Connect(miBullet, [this](QTextEdit&) { ToggleBullet(); });
    Connect(miHyperlink, [this](QTextEdit&) { MakeHyperlink(); });
}

QAction* TRkRichPopUpMenu::AddItem(TItem Index, const char* English, const char* German,
                                   const QKeySequence& Shortcut) {
    QAction* Item = addAction(QString::fromUtf8(FLanguage == roGerman ? German : English));
    if (FUseShortcuts && !Shortcut.isEmpty()) Item->setShortcut(Shortcut);
    FItems[Index] = Item;
    return Item;
}

void TRkRichPopUpMenu::AddSeparator(TItem Index) {
    QAction* Separator = addSeparator();
    Separator->setText(QStringLiteral("-"));
    FItems[Index] = Separator;
}

void TRkRichPopUpMenu::AttachTo(QTextEdit* Editor) {
    Editor->setContextMenuPolicy(Qt::CustomContextMenu);
    // A scroll area reports the position in its viewport's coordinates.
    connect(Editor, &QWidget::customContextMenuRequested, this, [this, Editor](const QPoint& Position) {
        PopupFor(Editor, Editor->viewport()->mapToGlobal(Position));
    });
}

void TRkRichPopUpMenu::PopupFor(QTextEdit* Editor, const QPoint& GlobalPosition) {
    FEditor = Editor;
    if (FOnPopup) FOnPopup();
    RefreshItems(Editor);
    popup(GlobalPosition);
}

void TRkRichPopUpMenu::RefreshItems(QTextEdit* Editor) {
    assert(FLoaded);
    FEditor = Editor;
    if (!Editor) return;
    // A read-only editor plays the part of a read-only data binding: nothing may change its text.
    const bool Editable = !Editor->isReadOnly();
    const bool Formatting = Editable && Editor->acceptRichText();
    for (TItem Index :
         {miFont, miBold, miUnderline, miItalic, miAlignLeft, miAlignCenter, miAlignRight, miBullet})
        FItems[Index]->setEnabled(Formatting);
    for (TItem Index : {miSeparator2, miSeparator3, miBold, miUnderline, miItalic, miSeparator4, miAlignLeft,
                        miAlignCenter, miAlignRight, miSeparator5, miBullet})
        FItems[Index]->setVisible(Editable);

    const QTextCursor Cursor = Editor->textCursor();
    const bool Selected = Cursor.hasSelection();
    const QMimeData* Clipboard = QGuiApplication::clipboard()->mimeData();
    const int TextLength = Editor->document()->characterCount() - 1; // without the closing paragraph mark
    FItems[miUndo]->setEnabled(Editable && Editor->document()->isUndoAvailable());
    FItems[miCut]->setEnabled(Editable && Selected);
    FItems[miDelete]->setEnabled(Editable && Selected);
    FItems[miCopy]->setEnabled(Selected);
    FItems[miPaste]->setEnabled(Editable && Clipboard && Clipboard->hasText());
    FItems[miSelectAll]->setEnabled(TextLength > Cursor.selectionEnd() - Cursor.selectionStart());

    FItems[miBold]->setChecked(SelectionHasStyle(miBold));
    FItems[miUnderline]->setChecked(SelectionHasStyle(miUnderline));
    FItems[miItalic]->setChecked(SelectionHasStyle(miItalic));
    const Qt::Alignment Alignment = Editor->alignment();
    FItems[miAlignLeft]->setChecked(Alignment.testFlag(Qt::AlignLeft));
    FItems[miAlignCenter]->setChecked(Alignment.testFlag(Qt::AlignHCenter));
    FItems[miAlignRight]->setChecked(Alignment.testFlag(Qt::AlignRight));
    FItems[miBullet]->setChecked(Cursor.currentList() != nullptr);
}

namespace {

bool HasStyle(const QTextCharFormat& Format, TRkRichPopUpMenu::TItem Style) {
    switch (Style) {
    case TRkRichPopUpMenu::miBold:
        return Format.fontWeight() > QFont::Medium;
    case TRkRichPopUpMenu::miUnderline:
        return Format.fontUnderline();
    case TRkRichPopUpMenu::miItalic:
        return Format.fontItalic();
    default:
        assert(false && "not a style item");
        return false;
    }
}

} // namespace

bool TRkRichPopUpMenu::SelectionHasStyle(TItem Style) const {
    if (!FEditor) return false;
    const QTextCursor Cursor = FEditor->textCursor();
    if (!Cursor.hasSelection()) return HasStyle(FEditor->currentCharFormat(), Style);
    const int Start = Cursor.selectionStart();
    const int End = Cursor.selectionEnd();
    const QTextDocument* Document = FEditor->document();
    for (QTextBlock Block = Document->findBlock(Start); Block.isValid() && Block.position() < End;
         Block = Block.next()) {
        for (auto Fragment = Block.begin(); !Fragment.atEnd(); ++Fragment) {
            const QTextFragment Piece = Fragment.fragment();
            if (Piece.position() + Piece.length() <= Start || Piece.position() >= End) continue;
            if (!HasStyle(Piece.charFormat(), Style)) return false;
        }
    }
    return true;
}

void TRkRichPopUpMenu::ToggleStyle(TItem Style) {
    if (!FEditor) return;
    const bool Remove = SelectionHasStyle(Style);
    QTextCharFormat Change;
    if (Style == miBold) Change.setFontWeight(Remove ? QFont::Normal : QFont::Bold);
    if (Style == miUnderline) Change.setFontUnderline(!Remove);
    if (Style == miItalic) Change.setFontItalic(!Remove);
    FEditor->mergeCurrentCharFormat(Change);
}

void TRkRichPopUpMenu::ToggleBold() {
    ToggleStyle(miBold);
}
void TRkRichPopUpMenu::ToggleUnderline() {
    ToggleStyle(miUnderline);
}
void TRkRichPopUpMenu::ToggleItalic() {
    ToggleStyle(miItalic);
}

void TRkRichPopUpMenu::ChooseFont() {
    if (!FEditor || !FFontDialog) return;
    FFontDialog->setCurrentFont(FEditor->currentCharFormat().font());
    if (FFontDialog->exec() != QDialog::Accepted) return;
    QTextCharFormat Change;
    Change.setFont(FFontDialog->selectedFont());
    FEditor->mergeCurrentCharFormat(Change);
}

void TRkRichPopUpMenu::Align(Qt::Alignment Alignment) {
    if (!FEditor) return;
    FEditor->setAlignment(Alignment);
    if (Alignment.testFlag(Qt::AlignLeft)) FItems[miAlignLeft]->setChecked(true);
    if (Alignment.testFlag(Qt::AlignHCenter)) FItems[miAlignCenter]->setChecked(true);
    if (Alignment.testFlag(Qt::AlignRight)) FItems[miAlignRight]->setChecked(true);
}

void TRkRichPopUpMenu::ToggleBullet() {
    if (!FEditor) return;
    QTextCursor Cursor = FEditor->textCursor();
    if (!Cursor.currentList()) {
        Cursor.createList(QTextListFormat::ListDisc);
        return;
    }
    // Leave every selected paragraph's list, keeping its own indent as it was before the bullet.
    Cursor.beginEditBlock();
    const int End = Cursor.selectionEnd();
    for (QTextBlock Block = FEditor->document()->findBlock(Cursor.selectionStart());
         Block.isValid() && Block.position() <= End; Block = Block.next()) {
        if (!Block.textList()) continue;
        QTextCursor BlockCursor(Block);
        QTextBlockFormat Format = Block.blockFormat();
        Format.setObjectIndex(-1);
        BlockCursor.setBlockFormat(Format);
    }
    Cursor.endEditBlock();
}

void TRkRichPopUpMenu::MakeHyperlink() {
    if (!FEditor) return;
    QTextCharFormat Change;
    Change.setForeground(QColor(Qt::blue));
    Change.setFontUnderline(true);
    FEditor->mergeCurrentCharFormat(Change);
}

} // namespace corvane
