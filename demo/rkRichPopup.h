// A ready-made context menu for a rich-text editor: clipboard commands, font selection, style toggles,
// paragraph alignment, bullets and a hyperlink look, with English or German captions.
#pragma once

#include <QFontDialog>
#include <QMenu>
#include <QPointer>
#include <QTextEdit>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

class QAction;
class QActionGroup;

namespace corvane {

enum TLanguage : std::uint8_t { roEnglish = 0, roGerman = 1 };

class TRkRichPopUpMenu : public QMenu {
    Q_OBJECT

public:
    // The items in menu order; separators count as items.
    enum TItem : std::uint8_t {
        miUndo,
        miSeparator1,
        miCut,
        miCopy,
        miPaste,
        miDelete,
        miSelectAll,
        miSeparator2,
        miFont,
        miSeparator3,
        miBold,
        miUnderline,
        miItalic,
        miSeparator4,
        miAlignLeft,
        miAlignCenter,
        miAlignRight,
        miSeparator5,
        miBullet,
        miHyperlink,
    };
    static constexpr std::size_t ItemCount = 20;

    explicit TRkRichPopUpMenu(QWidget* Parent = nullptr);
    ~TRkRichPopUpMenu() override;

    // The dialog behind "Font..."; when none is set by the time the items are built the menu makes its own.
    QFontDialog* FontDialog() const { return FFontDialog; }
    void SetFontDialog(QFontDialog* Value);
    // The caption set; it takes effect when the items are built.
    TLanguage Language() const { return FLanguage; }
    void SetLanguage(TLanguage Value);
    // Keyboard shortcuts on the items; off by default and read when the items are built.
    bool UseShortcuts() const { return FUseShortcuts; }
    void SetUseShortcuts(bool Value);
    // Called before every refresh, like the menu's own popup event.
    void SetOnPopup(std::function<void()> Value) { FOnPopup = std::move(Value); }

    // Builds the twenty items once; a menu made at run time calls it right after creation.
    void Loaded();
    // Shows this menu as the editor's context menu.
    void AttachTo(QTextEdit* Editor);
    // Refreshes the items for Editor and shows the menu at a screen position.
    void PopupFor(QTextEdit* Editor, const QPoint& GlobalPosition);
    // Enables and checks the items from the editor, its selection and the clipboard.
    void RefreshItems(QTextEdit* Editor);

    QAction* Item(TItem Index) const { return FItems[Index]; }
    QTextEdit* Editor() const { return FEditor; }

    // The editor's actions, also reachable without the menu.
    void ToggleBold();
    void ToggleUnderline();
    void ToggleItalic();
    void ChooseFont();
    void Align(Qt::Alignment Alignment);
    void ToggleBullet();
    void MakeHyperlink();

private:
    QAction* AddItem(TItem Index, const char* English, const char* German, const QKeySequence& Shortcut);
    void AddSeparator(TItem Index);
    // True when every character of the selection carries the style (at a bare cursor: the typing format).
    bool SelectionHasStyle(TItem Style) const;
    void ToggleStyle(TItem Style);

    std::array<QAction*, ItemCount> FItems{};
    QActionGroup* FAlignmentGroup = nullptr;
    QPointer<QFontDialog> FFontDialog;
    QPointer<QFontDialog> FOwnFontDialog; // made by Loaded when none was given
    QPointer<QTextEdit> FEditor;
    std::function<void()> FOnPopup;
    TLanguage FLanguage = roEnglish;
    bool FUseShortcuts = false;
    bool FLoaded = false;
};

} // namespace corvane
