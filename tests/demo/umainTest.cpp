#include "umain.h"

#include "CxMemoryPictureAdapterDataURI.h"
#include "DesktopShell.h"
#include "RichTextRtfWriter.h"
#include "ValueListEditor.h"
#include "rkRichPopup.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeView>

#include <memory>

namespace corvane {
namespace {

// A desktop that records instead of opening.
class TRecordingShell final : public IDesktopShell {
public:
    void Open(const QUrl& Target) override { Opened.push_back(Target); }
    void ShowError(QWidget*, const QString& Text) override { Errors.push_back(Text); }

    std::vector<QUrl> Opened;
    QStringList Errors;
};

std::string ReadBytes(const QString& Path) {
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) return {};
    const QByteArray Bytes = File.readAll();
    return std::string(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
}

void WriteBytes(const QString& Path, const std::string& Bytes) {
    QFile File(Path);
    if (File.open(QIODevice::WriteOnly)) File.write(Bytes.data(), static_cast<qint64>(Bytes.size()));
}

// The style attribute of the element whose content is exactly Text, or "(missing)".
std::string StyleAround(const std::string& Html, const std::string& Text) {
    const std::size_t TextAt = Html.find(">" + Text + "<");
    if (TextAt == std::string::npos) return "(missing)";
    const std::size_t TagAt = Html.rfind('<', TextAt);
    const std::string Tag = Html.substr(TagAt, TextAt - TagAt);
    const std::size_t StyleAt = Tag.find("style=\"");
    if (StyleAt == std::string::npos) return {};
    const std::size_t End = Tag.find('"', StyleAt + 7);
    return Tag.substr(StyleAt + 7, End - StyleAt - 7);
}

const QString PictureDocument = QStringLiteral(CORVANE_CORPUS_DIR "/rtfpipe/image_from_strings.rtf");
const std::string SmallDocument =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Hello {\\b bold} world\\par "
    "\\qj Second  line\\par}";

class WindowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Folder.isValid()); }

    TfrmMain& Window() {
        if (!FWindow) FWindow = std::make_unique<TfrmMain>(Shell, Folder.path());
        return *FWindow;
    }
    QString Path(const QString& Name) const { return Folder.filePath(Name); }
    QString Output() { return Window().ediHTMLFile->text(); }

    // Selects File in the file list, as a click would.
    void SelectFile(const QString& File) {
        Window().SetFolder(QFileInfo(File).absolutePath());
        auto* Model = static_cast<QFileSystemModel*>(Window().FileListBox1->model());
        Window().FileListBox1->setCurrentIndex(Model->index(File));
    }
    QString CopyIn(const QString& Source, const QString& Name) {
        const QString Target = Path(Name);
        WriteBytes(Target, ReadBytes(Source));
        return Target;
    }

    QTemporaryDir Folder;
    std::shared_ptr<TRecordingShell> Shell = std::make_shared<TRecordingShell>();
    std::unique_ptr<TfrmMain> FWindow;
};

// The settings the window hands the converter at the start, and the controls that mirror them.
TEST_F(WindowTest, StartsWithTheDemonstrationSettings) {
    TfrmMain& W = Window();
    EXPECT_EQ(W.ediHTMLFile->text(), QDir(Folder.path()).filePath("CorvaneXHTMLTest.html"));
    // The three changed converter defaults.
    EXPECT_TRUE(W.Converter().ConvertPictures());
    EXPECT_TRUE(W.Converter().ConvertIndent());
    EXPECT_TRUE(W.Converter().ConvertEmptyParagraphs());
    EXPECT_TRUE(W.cbxPictures->isChecked());
    EXPECT_TRUE(W.CbxConvertEmptyParagraphs->isChecked());
    EXPECT_EQ(W.VleFonts->Strings(), W.Converter().ReplaceFonts());
}

TEST_F(WindowTest, EditorStartsWithTheSampleConvertedOrEmptyWithANote) {
    WriteBytes(Path("Wordpad-Example.rtf"), SmallDocument);
    TfrmMain& W = Window();
    EXPECT_EQ(W.RichEdit2->toPlainText().replace(QChar::Nbsp, u' '), "Hello bold world\nSecond  line");
    QTextCursor Cursor(W.RichEdit2->document());
    Cursor.setPosition(8);
    EXPECT_GT(Cursor.charFormat().fontWeight(), QFont::Medium) << "\"bold\" keeps its weight";
    EXPECT_EQ(W.RichEdit2->document()->lastBlock().blockFormat().alignment(), Qt::AlignJustify);

    TfrmMain Without(Shell, Path("nowhere"));
    EXPECT_TRUE(Without.RichEdit2->toPlainText().isEmpty());
    EXPECT_TRUE(Without.StatusBar1->currentMessage().contains("Wordpad-Example.rtf"))
        << "the status bar says so";
}

// The editor path really converts RTF: the sample, shown in the editor and saved by it, keeps its words
// and formatting.
TEST_F(WindowTest, SampleSurvivesTheEditorPath) {
    const QString Sample = QStringLiteral(CORVANE_SAMPLES_DIR "/Wordpad-Example.rtf");
    if (!QFileInfo::exists(Sample)) GTEST_SKIP() << "no sample in this tree";
    CopyIn(Sample, "Wordpad-Example.rtf");
    TfrmMain& W = Window();
    W.ApplySettings();
    const std::string Html = W.RichEditToHTML(*W.RichEdit2);
    EXPECT_NE(StyleAround(Html, "bold").find("font-weight:bold;"), std::string::npos) << Html;
    EXPECT_NE(StyleAround(Html, "italic").find("font-style:italic;"), std::string::npos);
    EXPECT_NE(StyleAround(Html, "underlined").find("text-decoration:underline;"), std::string::npos);
    EXPECT_NE(StyleAround(Html, "struck out").find("text-decoration:line-through;"), std::string::npos);
    EXPECT_NE(StyleAround(Html, "red text").find("color:#c00000;"), std::string::npos);
    EXPECT_NE(StyleAround(Html, "highlighted text").find("background-color:#ffff00;"), std::string::npos);
    EXPECT_NE(StyleAround(Html, "Times at 24 points.").find("font-size:24pt;"), std::string::npos);
    EXPECT_NE(StyleAround(Html, "Courier New at 14 points,").find("font-family:Courier"), std::string::npos);
    for (const char* Alignment : {"center", "right", "justify"})
        EXPECT_NE(Html.find(std::string("<p style=\"text-align:") + Alignment), std::string::npos)
            << Alignment;
    EXPECT_LT(Html.find("<ul>"), Html.find(">First item<"));
    EXPECT_LT(Html.find("<ol>"), Html.find(">Step one<"));
    for (const char* Words : {"caf\xC3\xA9, na\xC3\xAFve", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
                              "\xE2\x82\xAC euro", "Western European text:"})
        EXPECT_NE(Html.find(Words), std::string::npos) << Words;
}

TEST_F(WindowTest, ApplySettingsCopiesEveryControlIntoTheConverter) {
    TfrmMain& W = Window();
    W.cbxSpaces->setChecked(true);
    W.ediTitle->setText("My title");
    W.ediStyle->setText("site.css");
    W.cbxHyper->setChecked(true);
    W.cbxTables->setChecked(true);
    W.cbxLists->setChecked(true);
    W.cbxNotes->setChecked(true);
    W.cbxHeadersFooters->setChecked(true);
    W.cbxPictures->setChecked(true);
    W.ediAuthor->setText("An Author");
    W.ediDescription->setText("A description");
    W.ediKeywords->setText("a, b");
    W.EditMaxDataURISize->setText(" 7 ");
    W.cbxof->setCurrentIndex(6);
    W.cbxAddOuterHTML->setChecked(false);
    W.VleFonts->InsertRow("Tahoma", "Verdana,sans-serif");
    W.MemCss->setPlainText("p { color: red; }\nh1 {}\n");
    W.CbxConvertToPlainText->setChecked(true);
    W.CbxConvertEmptyParagraphs->setChecked(false);
    W.ApplySettings();

    const TRkCorvaneXHTML& C = W.Converter();
    EXPECT_TRUE(C.ConvertSpaces());
    EXPECT_EQ(C.OptionsHead().DocumentTitle(), "My title");
    EXPECT_EQ(C.OptionsHead().StyleSheetLink(), "site.css");
    EXPECT_TRUE(C.ConvertFields());
    EXPECT_TRUE(C.ConvertAnchors());
    EXPECT_TRUE(C.ConvertHyperlinks());
    EXPECT_TRUE(C.OptionsStructure().Tables());
    EXPECT_TRUE(C.OptionsStructure().Lists());
    EXPECT_TRUE(C.OptionsStructure().Notes());
    EXPECT_TRUE(C.OptionsStructure().HeadersFooters());
    EXPECT_TRUE(C.ConvertPictures());
    EXPECT_EQ(C.OptionsHead().MetaAuthor(), "An Author");
    EXPECT_EQ(C.OptionsHead().MetaDescription(), "A description");
    EXPECT_EQ(C.OptionsHead().MetaKeywords(), "a, b");
    const auto Adapter = std::dynamic_pointer_cast<TMemoryPictureAdapterDataURI>(C.PictureAdapter());
    ASSERT_TRUE(Adapter);
    EXPECT_EQ(Adapter->MaxSize(), 7);
    EXPECT_EQ(C.DocumentType(), dtXHTML_MP_10);
    EXPECT_FALSE(C.OptionsHead().AddOuterHTML());
    EXPECT_EQ(C.ReplaceFonts(),
              TStringList({"Arial=Arial,Helvetica,sans-serif", "Courier=Courier,monospace", "Symbol=Symbol",
                           "Times=Times,serif", "Tahoma=Verdana,sans-serif"}));
    EXPECT_EQ(C.OptionsHead().StyleSheetInclude(), TStringList({"p { color: red; }", "h1 {}"}));
    EXPECT_TRUE(C.ConvertToPlainText());
    EXPECT_FALSE(C.ConvertEmptyParagraphs());

    // Each conversion gets a fresh adapter, so that no picture of an earlier one carries over.
    W.ApplySettings();
    EXPECT_NE(C.PictureAdapter(), Adapter);
}

// The list offers the dialects in this order; no entry leaves the dialect as it was.
TEST_F(WindowTest, OutputFormatListSelectsTheDialectsInItsOrder) {
    TfrmMain& W = Window();
    const TDocumentType Expected[] = {
        dtHTML_401_Strict, dtHTML_401_Transitional, dtHTML_50,  dtXHTML_10_Strict, dtXHTML_10_Transitional,
        dtXHTML_Basic_10,  dtXHTML_MP_10,           dtXHTML_11, dtHTML3Flex};
    for (int Index = 0; Index < 9; ++Index) {
        W.cbxof->setCurrentIndex(Index);
        W.ApplySettings();
        EXPECT_EQ(W.Converter().DocumentType(), Expected[Index]) << Index;
    }
    W.cbxof->setCurrentIndex(-1);
    W.ApplySettings();
    EXPECT_EQ(W.Converter().DocumentType(), dtHTML3Flex);
}

TEST_F(WindowTest, FileConversionWritesTheConvertersBytesAndThePicturesBesideThem) {
    TfrmMain& W = Window();
    const QString Input = CopyIn(PictureDocument, "pictures.rtf");
    W.EditMaxDataURISize->setText("1");
    W.ediHTMLFile->setText(Path("out/result.html"));
    QDir(Folder.path()).mkdir("out");
    SelectFile(Input);
    emit W.FileListBox1->doubleClicked(W.FileListBox1->currentIndex());
    ASSERT_TRUE(Shell->Errors.isEmpty()) << Shell->Errors.join("\n").toStdString();
    ASSERT_EQ(Shell->Opened.size(), 1u);
    EXPECT_EQ(Shell->Opened[0], QUrl::fromLocalFile(Path("out/result.html")));

    const std::string Written = ReadBytes(Output());
    int Files = 0;
    int Embedded = 0;
    for (const auto& [Name, Picture] : W.Converter().PictureAdapter()->GetPictures()) {
        const QString PictureFile = Path("out/" + QString::fromStdString(Name));
        if (Picture->IsDataURI()) {
            ++Embedded;
            EXPECT_FALSE(QFileInfo::exists(PictureFile)) << Name;
            continue;
        }
        ++Files;
        const auto& Bytes = Picture->GetData().Bytes();
        EXPECT_EQ(ReadBytes(PictureFile), std::string(Bytes.begin(), Bytes.end())) << Name;
        EXPECT_NE(Written.find("src=\"" + Name + "\""), std::string::npos) << Name;
    }
    EXPECT_GT(Files, 0);
    EXPECT_GT(Embedded, 0);

    // Exactly what the converter returns, with the same settings, not a byte more: a second conversion
    // numbers its pictures from the start again.
    EXPECT_EQ(Written, W.Converter().Convert(ReadBytes(Input)));
    EXPECT_EQ(Written.substr(0, 3) == "\xEF\xBB\xBF", false);
}

TEST_F(WindowTest, EditorConversionWritesAByteOrderMarkAndCrLfLines) {
    TfrmMain& W = Window();
    W.RichEdit2->setHtml("<p>First paragraph <b>strong</b></p><p>Second one</p>");
    W.Button1->click();
    ASSERT_TRUE(Shell->Errors.isEmpty()) << Shell->Errors.join("\n").toStdString();
    ASSERT_EQ(Shell->Opened.size(), 1u);
    EXPECT_EQ(Shell->Opened[0], QUrl::fromLocalFile(Output()));

    const std::string Written = ReadBytes(Output());
    const std::string Html = W.RichEditToHTML(*W.RichEdit2);
    // The converter's lines end in CR LF already; the file adds the mark and a CR LF after the last line.
    EXPECT_EQ(Written, "\xEF\xBB\xBF" + Html + "\r\n");
    EXPECT_NE(Html.find("font-weight:bold;"), std::string::npos);
    EXPECT_NE(Html.find(">Second one<"), std::string::npos);
}

// A failure started by the user is shown and nothing is opened; a bad picture limit fails before anything
// is written. Input without the RTF header is no failure: its empty result is written and opened.
TEST_F(WindowTest, FailuresAreShownAndNothingIsOpened) {
    TfrmMain& W = Window();
    SelectFile(CopyIn(PictureDocument, "pictures.rtf"));
    for (const char* Limit : {"", "12kb", "99999999999"}) {
        W.EditMaxDataURISize->setText(Limit);
        EXPECT_THROW(W.startConversion(), std::runtime_error) << Limit;
        EXPECT_THROW(W.ConvertRichEdit(), std::runtime_error) << Limit;
    }
    W.Button1->click();
    emit W.FileListBox1->doubleClicked(W.FileListBox1->currentIndex());
    ASSERT_EQ(Shell->Errors.size(), 2);
    EXPECT_TRUE(Shell->Errors[0].contains("is not a whole number")) << Shell->Errors[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(Output()));
    EXPECT_FALSE(QFileInfo::exists(Path("image1.png")));

    W.EditMaxDataURISize->setText("32");
    W.ediHTMLFile->setText(Path("missing-folder/out.html"));
    emit W.FileListBox1->doubleClicked(W.FileListBox1->currentIndex());
    W.Button1->click();
    ASSERT_EQ(Shell->Errors.size(), 4);
    EXPECT_TRUE(Shell->Errors[2].contains("missing-folder")) << Shell->Errors[2].toStdString();
    EXPECT_TRUE(Shell->Errors[3].contains("missing-folder")) << Shell->Errors[3].toStdString();
    EXPECT_TRUE(Shell->Opened.empty());

    W.ediHTMLFile->setText(Path("empty.html"));
    const QString NotRtf = Path("not.rtf");
    WriteBytes(NotRtf, "plain text");
    SelectFile(NotRtf);
    W.startConversion();
    EXPECT_TRUE(QFileInfo::exists(Path("empty.html")));
    EXPECT_EQ(QFileInfo(Path("empty.html")).size(), 0);
    EXPECT_EQ(Shell->Opened.size(), 1u);
}

} // namespace
} // namespace corvane
