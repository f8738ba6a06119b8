// The demonstration window: converts RTF files picked in a folder browser, or the content of a rich-text
// editor, with the settings of its settings page, writes the HTML file and opens it on the desktop.
#pragma once

#include "CorvaneXHTML.h"
#include "DesktopShell.h"

#include <QMainWindow>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QFontDialog;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTextEdit;
class QTreeView;

namespace corvane {

class TRkRichPopUpMenu;
class TValueListEditor;

// The product's title and home page, shown in the caption and the status bar.
inline constexpr const char* ProductTitle = "CorvaneXHTML";
inline constexpr const char* ProductHomePage = "https://corvanexhtml.example.org/";
// The sample the editor shows at start-up and the default output, both in the program's folder.
inline constexpr const char* SampleFileName = "Wordpad-Example.rtf";
inline constexpr const char* DefaultOutputFileName = "CorvaneXHTMLTest.html";

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    // ProgramFolder: where the sample is looked for and the output goes by default.
    TfrmMain(std::shared_ptr<IDesktopShell> Shell, const QString& ProgramFolder, QWidget* Parent = nullptr);
    ~TfrmMain() override;

    TRkCorvaneXHTML& Converter() { return FConverter; }
    TRkRichPopUpMenu* RichPopup() const { return FRichPopup; }

    // Copies the settings controls into the converter.
    void ApplySettings();
    // Converts the file selected in FileListBox1 into the output file, writes the pictures that are not
    // embedded beside it and opens it. Throws on any failure, before the output is opened.
    void startConversion();
    // Converts the editor's content and writes it as UTF-8 text with CR LF line ends; throws likewise.
    void ConvertRichEdit();
    // The editor's content as RTF, converted.
    std::string RichEditToHTML(QTextEdit& Editor);
    void cbxAddOuterHTMLClick();
    void StatusBar1Click();
    void FormShow();

    // Shows Folder in the folder tree and its RTF files in the file list.
    void SetFolder(const QString& Folder);
    // The full path of the file selected in FileListBox1, or empty.
    QString SelectedFileName() const;
    // Loads an RTF file into the editor through the converter; false (and an empty editor) when it cannot.
    bool LoadRichEdit(const QString& FileName);

    // Pages.
    QTabWidget* PageControl1 = nullptr;
    QWidget* tsFiles = nullptr;
    QWidget* tsRichEdit = nullptr;
    QWidget* tsSettings = nullptr;
    QTabWidget* PageControl2 = nullptr;
    QWidget* tsGeneral = nullptr;
    QWidget* tsFonts = nullptr;
    QWidget* tsWrapper = nullptr;
    QWidget* tsPictures = nullptr;
    // "Convert RTF files".
    QTreeView* DirectoryListBox1 = nullptr;
    QListView* FileListBox1 = nullptr;
    QPlainTextEdit* memLog = nullptr;
    // "Convert from TRichEdit".
    QPushButton* Button1 = nullptr;
    QTextEdit* RichEdit2 = nullptr;
    // "Settings" / "General".
    QComboBox* cbxof = nullptr;
    QCheckBox* CbxConvertToPlainText = nullptr;
    QLineEdit* ediHTMLFile = nullptr;
    QCheckBox* CbxConvertEmptyParagraphs = nullptr;
    QCheckBox* cbxSpaces = nullptr;
    QCheckBox* cbxHyper = nullptr;
    QCheckBox* cbxTables = nullptr;
    QCheckBox* cbxLists = nullptr;
    QCheckBox* cbxNotes = nullptr;
    QCheckBox* cbxHeadersFooters = nullptr;
    // "Settings" / "Fonts".
    TValueListEditor* VleFonts = nullptr;
    QLabel* Panel3 = nullptr;
    QPushButton* btnAddFont = nullptr;
    QPushButton* btnDeleteFont = nullptr;
    // "Settings" / "HTML wrapper".
    QCheckBox* cbxAddOuterHTML = nullptr;
    QWidget* Panel7 = nullptr;
    QLineEdit* ediTitle = nullptr;
    QLineEdit* ediStyle = nullptr;
    QLineEdit* ediAuthor = nullptr;
    QLineEdit* ediDescription = nullptr;
    QLineEdit* ediKeywords = nullptr;
    QPlainTextEdit* MemCss = nullptr;
    // "Settings" / "Pictures".
    QCheckBox* cbxPictures = nullptr;
    QLineEdit* EditMaxDataURISize = nullptr;
    // Status bar with its one panel.
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel = nullptr;
    QFontDialog* FontDialog1 = nullptr;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void CreateControls();
    QWidget* CreateFilesPage();
    QWidget* CreateRichEditPage();
    QWidget* CreateSettingsPage();
    void FormCreate();
    // Runs a conversion started by the user; a failure is shown instead of travelling into the event loop.
    template <typename TAction> void RunGuarded(TAction Action);

    std::shared_ptr<IDesktopShell> FShell;
    QString FProgramFolder;
    TRkCorvaneXHTML FConverter;
    TRkRichPopUpMenu* FRichPopup = nullptr;
    QFileSystemModel* FFolderModel = nullptr;
    QFileSystemModel* FFileModel = nullptr;
    QString FRevealFolder; // the folder to scroll into view once the tree has read its way to it
};

// The converter's output as a text file: a UTF-8 byte-order mark, then every line (ended by CR, LF or
// CR LF in Text) followed by CR LF.
std::string ToCrLfTextFile(std::string_view Text);
// The whole number a settings field holds; throws with a readable message when it holds none.
std::int32_t ParseWholeNumber(const QString& Text, const QString& FieldName);

} // namespace corvane
