// The editor's context menu: what its items do to the text, not how they look.
#include "rkRichPopup.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>

namespace corvane {
namespace {

using M = TRkRichPopUpMenu;

class RichPopupTest : public testing::Test {
protected:
    void SetUp() override {
        Menu.Loaded();
        Editor.setPlainText("Hello brave new world");
    }

    void Select(int Start, int End) {
        QTextCursor Cursor(Editor.document());
        Cursor.setPosition(Start);
        Cursor.setPosition(End, QTextCursor::KeepAnchor);
        Editor.setTextCursor(Cursor);
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

// Styles apply to the whole selection only; paragraph items to the cursor's paragraph only.
TEST_F(RichPopupTest, FormattingItemsChangeOnlyWhatTheyShould) {
    Select(6, 11); // "brave"
    Trigger(M::miBold);
    EXPECT_TRUE(Checked(M::miBold));
    Select(12, 12);
    EXPECT_FALSE(Checked(M::miBold)) << "outside the formatted word";
    // Half bold: the style is not the selection's, so the toggle adds it everywhere.
    Select(0, 11);
    EXPECT_FALSE(Checked(M::miBold));
    Trigger(M::miBold);
    Select(0, 11);
    EXPECT_TRUE(Checked(M::miBold));

    Editor.setPlainText("first\nsecond");
    Trigger(M::miAlignCenter);
    EXPECT_EQ(Editor.alignment(), Qt::AlignHCenter);
    Trigger(M::miBullet);
    ASSERT_NE(Editor.textCursor().currentList(), nullptr);
    Select(8, 8);
    EXPECT_TRUE(Checked(M::miAlignLeft)) << "the other paragraph keeps its own";
    EXPECT_EQ(Editor.textCursor().currentList(), nullptr);
    Select(2, 2);
    Trigger(M::miBullet);
    EXPECT_EQ(Editor.textCursor().currentList(), nullptr);
    EXPECT_EQ(Editor.document()->begin().blockFormat().indent(), 0) << "no indent left behind";
}

} // namespace
} // namespace corvane
