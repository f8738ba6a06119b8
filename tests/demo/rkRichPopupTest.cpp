#include "rkRichPopup.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDialog>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QTimer>

#include <memory>

namespace corvane {
namespace {

using M = TRkRichPopUpMenu;

QStringList Captions(const TRkRichPopUpMenu& Menu) {
    QStringList Result;
    for (const QAction* Action : Menu.actions())
        Result << Action->text();
    return Result;
}

TEST(RichPopupItems, CaptionsShortcutsAndTheFontDialog) {
    TRkRichPopUpMenu English;
    English.Loaded();
    const QStringList Items = Captions(English);
    ASSERT_EQ(Items.size(), 20);
    EXPECT_EQ(Items[M::miBold], "Bold");
    EXPECT_TRUE(English.Item(M::miSeparator5)->isSeparator());
    for (QAction* Action : English.actions())
        EXPECT_TRUE(Action->shortcut().isEmpty()) << "no shortcuts unless switched on";

    TRkRichPopUpMenu German;
    German.SetLanguage(roGerman);
    German.SetUseShortcuts(true);
    German.Loaded();
    EXPECT_EQ(German.Item(M::miUndo)->text(), QString::fromUtf8("Rückgängig"));
    EXPECT_EQ(German.Item(M::miUndo)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(German.Item(M::miDelete)->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_TRUE(German.Item(M::miFont)->shortcut().isEmpty());
    German.Loaded(); // building twice must not add a second set
    EXPECT_EQ(German.actions().size(), 20);

    QFontDialog Given;
    TRkRichPopUpMenu WithDialog;
    WithDialog.SetFontDialog(&Given);
    WithDialog.Loaded();
    EXPECT_EQ(WithDialog.FontDialog(), &Given);
    auto Menu = std::make_unique<TRkRichPopUpMenu>();
    Menu->Loaded();
    QPointer<QFontDialog> Own = Menu->FontDialog();
    ASSERT_TRUE(Own);
    Menu.reset();
    EXPECT_FALSE(Own) << "the menu's own dialog goes with it";
}

class RichPopupTest : public testing::Test {
protected:
    void SetUp() override {
        Menu.Loaded();
        Editor.setPlainText("Hello brave new world");
        QApplication::clipboard()->clear();
    }

    void Select(int Start, int End) {
        QTextCursor Cursor(Editor.document());
        Cursor.setPosition(Start);
        Cursor.setPosition(End, QTextCursor::KeepAnchor);
        Editor.setTextCursor(Cursor);
    }

    bool Enabled(M::TItem Item) {
        Menu.RefreshItems(&Editor);
        return Menu.Item(Item)->isEnabled();
    }
    bool Checked(M::TItem Item) {
        Menu.RefreshItems(&Editor);
        return Menu.Item(Item)->isChecked();
    }
    void Trigger(M::TItem Item) {
        Menu.RefreshItems(&Editor);
        Menu.Item(Item)->trigger();
    }

    QTextEdit Editor;
    TRkRichPopUpMenu Menu;
};

TEST_F(RichPopupTest, ClipboardItemsFollowTheSelectionAndTheClipboard) {
    Select(5, 5);
    for (M::TItem Item : {M::miCut, M::miCopy, M::miDelete, M::miPaste, M::miUndo})
        EXPECT_FALSE(Enabled(Item)) << Item << ": nothing selected, pasted or edited yet";
    EXPECT_TRUE(Enabled(M::miSelectAll));

    QApplication::clipboard()->setText("pasted ");
    EXPECT_TRUE(Enabled(M::miPaste));
    Trigger(M::miPaste);
    EXPECT_EQ(Editor.toPlainText(), "Hellopasted  brave new world");
    EXPECT_TRUE(Enabled(M::miUndo));
    Trigger(M::miUndo);
    EXPECT_EQ(Editor.toPlainText(), "Hello brave new world");

    Trigger(M::miSelectAll);
    EXPECT_EQ(Editor.textCursor().selectedText(), "Hello brave new world");
    EXPECT_FALSE(Enabled(M::miSelectAll));
    for (M::TItem Item : {M::miCut, M::miCopy, M::miDelete})
        EXPECT_TRUE(Enabled(Item)) << Item;
    Select(6, 12);
    Trigger(M::miCopy);
    EXPECT_EQ(QApplication::clipboard()->text(), "brave ");
    Trigger(M::miCut);
    EXPECT_EQ(Editor.toPlainText(), "Hello new world");
    Select(0, 6);
    Trigger(M::miDelete);
    EXPECT_EQ(Editor.toPlainText(), "new world");
}

TEST_F(RichPopupTest, ReadOnlyEditorOffersOnlyCopyAndSelection) {
    Editor.setReadOnly(true);
    QApplication::clipboard()->setText("x");
    Select(0, 5);
    Menu.RefreshItems(&Editor);
    EXPECT_TRUE(Menu.Item(M::miCopy)->isEnabled());
    for (M::TItem Item : {M::miCut, M::miDelete, M::miPaste, M::miUndo, M::miFont, M::miBold, M::miBullet})
        EXPECT_FALSE(Menu.Item(Item)->isEnabled()) << Item;
    for (M::TItem Item : {M::miBold, M::miAlignCenter, M::miBullet, M::miSeparator4})
        EXPECT_FALSE(Menu.Item(Item)->isVisible()) << Item;
    EXPECT_TRUE(Menu.Item(M::miFont)->isVisible());

    Editor.setReadOnly(false);
    Editor.setAcceptRichText(false);
    Menu.RefreshItems(&Editor);
    EXPECT_TRUE(Menu.Item(M::miCut)->isEnabled());
    EXPECT_FALSE(Menu.Item(M::miBold)->isEnabled()) << "no formatting in a plain-text editor";
    EXPECT_TRUE(Menu.Item(M::miBold)->isVisible());
}

TEST_F(RichPopupTest, AlignmentItemsActAsOneRadioGroupForTheCursorsParagraph) {
    Editor.setPlainText("first\nsecond");
    EXPECT_TRUE(Checked(M::miAlignLeft));
    Trigger(M::miAlignCenter);
    EXPECT_EQ(Editor.alignment(), Qt::AlignHCenter);
    EXPECT_TRUE(Menu.Item(M::miAlignCenter)->isChecked());
    EXPECT_FALSE(Menu.Item(M::miAlignLeft)->isChecked());
    Trigger(M::miAlignRight);
    EXPECT_EQ(Editor.alignment(), Qt::AlignRight);
    EXPECT_FALSE(Checked(M::miAlignCenter));

    Select(8, 8);
    EXPECT_TRUE(Checked(M::miAlignLeft));
    EXPECT_FALSE(Checked(M::miAlignRight));
    Select(2, 2);
    EXPECT_TRUE(Checked(M::miAlignRight));
    Editor.setAlignment(Qt::AlignJustify);
    for (M::TItem Item : {M::miAlignLeft, M::miAlignCenter, M::miAlignRight})
        EXPECT_FALSE(Checked(Item)) << Item;
}

TEST_F(RichPopupTest, StyleAndLinkItemsFormatTheWholeSelectionOnly) {
    Select(6, 11); // "brave"
    EXPECT_FALSE(Checked(M::miBold));
    Trigger(M::miBold);
    Trigger(M::miItalic);
    EXPECT_TRUE(Checked(M::miBold));
    EXPECT_TRUE(Checked(M::miItalic));

    // Half bold: the style is not the selection's, so the toggle adds it everywhere.
    Select(0, 11);
    EXPECT_FALSE(Checked(M::miBold));
    Trigger(M::miBold);
    Select(0, 11);
    EXPECT_TRUE(Checked(M::miBold));
    Trigger(M::miBold);
    EXPECT_FALSE(Checked(M::miBold));
    Select(12, 12);
    EXPECT_FALSE(Checked(M::miItalic)) << "outside the formatted word";

    Select(12, 15); // "new"
    Trigger(M::miHyperlink);
    Select(13, 14);
    EXPECT_EQ(Editor.textCursor().charFormat().foreground().color(), QColor(Qt::blue));
    EXPECT_TRUE(Checked(M::miUnderline));
    Select(1, 2);
    EXPECT_FALSE(Checked(M::miUnderline));
}

TEST_F(RichPopupTest, BulletTogglesTheParagraphsList) {
    const QTextBlockFormat Before = Editor.document()->begin().blockFormat();
    EXPECT_FALSE(Checked(M::miBullet));
    Trigger(M::miBullet);
    ASSERT_NE(Editor.textCursor().currentList(), nullptr);
    EXPECT_EQ(Editor.textCursor().currentList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_TRUE(Checked(M::miBullet));
    Trigger(M::miBullet);
    EXPECT_EQ(Editor.textCursor().currentList(), nullptr);
    EXPECT_FALSE(Checked(M::miBullet));
    EXPECT_EQ(Editor.document()->begin().blockFormat().indent(), Before.indent()) << "no indent left behind";
}

TEST_F(RichPopupTest, FontDialogCancelledLeavesTheTextAloneAndAcceptedAppliesTheFont) {
    Select(6, 11);
    const QString Before = Editor.toHtml();
    QFontDialog* Dialog = Menu.FontDialog();
    QTimer::singleShot(0, Dialog, [Dialog] { Dialog->reject(); });
    Trigger(M::miFont);
    EXPECT_EQ(Editor.toHtml(), Before);

    QFont Chosen(QStringLiteral("DejaVu Serif"), 17);
    QTimer::singleShot(0, Dialog, [Dialog, Chosen] {
        Dialog->setCurrentFont(Chosen);
        Dialog->accept();
    });
    Trigger(M::miFont);
    Select(7, 8);
    const QTextCharFormat Format = Editor.textCursor().charFormat();
    EXPECT_EQ(Format.fontPointSize(), 17);
    EXPECT_EQ(Format.fontFamilies().toStringList().value(0), "DejaVu Serif");
    Select(1, 2);
    EXPECT_NE(Editor.textCursor().charFormat().fontPointSize(), 17) << "only the selection changes";
}

TEST_F(RichPopupTest, PopupRunsTheEventThenRefreshesForThatEditor) {
    bool SawEvent = false;
    Menu.SetOnPopup([&] {
        SawEvent = true;
        EXPECT_TRUE(Menu.Item(M::miSelectAll)->isEnabled()) << "not yet refreshed";
    });
    Menu.Item(M::miSelectAll)->setEnabled(true);
    Editor.selectAll();
    Menu.PopupFor(&Editor, QPoint(10, 10));
    EXPECT_TRUE(SawEvent);
    EXPECT_EQ(Menu.Editor(), &Editor);
    EXPECT_FALSE(Menu.Item(M::miSelectAll)->isEnabled());
    EXPECT_TRUE(Menu.isVisible());
    Menu.hide();
    Menu.SetOnPopup(nullptr);

    // An attached editor opens the menu on its context-menu request.
    QTextEdit Other;
    Other.setPlainText("other");
    Menu.AttachTo(&Other);
    emit Other.customContextMenuRequested(QPoint(1, 1));
    EXPECT_EQ(Menu.Editor(), &Other);
    Menu.hide();
}

} // namespace
} // namespace corvane
