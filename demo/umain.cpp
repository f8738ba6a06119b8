#include "umain.h"

#include "CxCustomTranslator.h"
#include "CxMemoryPictureAdapterDataURI.h"
#include "CxPictureConverterEMF.h"
#include "CxPictureConverterList.h"
#include "CxPictureConverterWMF.h"
#include "RichTextRtfWriter.h"
#include "ValueListEditor.h"
#include "rkRichPopup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <array>
#include <sstream>
#include <stdexcept>

namespace corvane {

namespace {

// Browsers show no metafiles: both kinds become PNG where the player can render them.
std::shared_ptr<IPictureConverter> MetafileConverter() {
    return std::make_shared<TPictureConverterList>(std::vector<std::shared_ptr<IPictureConverter>>{
        std::make_shared<TPictureConverterWMF>(), std::make_shared<TPictureConverterEMF>()});
}

// The output formats in list order.
constexpr std::array<TDocumentType, 9> OutputFormats = {
    dtHTML_401_Strict, dtHTML_401_Transitional, dtHTML_50,  dtXHTML_10_Strict, dtXHTML_10_Transitional,
    dtXHTML_Basic_10,  dtXHTML_MP_10,           dtXHTML_11, dtHTML3Flex,
};
constexpr int DefaultOutputFormat = 2; // HTML5

std::string FileName(const QString& Path) {
    return QFile::encodeName(Path).toStdString();
}

TStringList Lines(const QString& Text) {
    // A line list: a line break at the very end does not start another, empty line.
    TStringList Result;
    if (Text.isEmpty()) return Result;
    for (const QString& Line : Text.split(u'\n'))
        Result.push_back(Line.toStdString());
    if (Text.endsWith(u'\n')) Result.pop_back();
    return Result;
}

void WriteFile(const QString& Path, std::string_view Bytes) {
    // Written whole or not at all: a failed write never leaves half a file behind.
    QSaveFile File(Path);
    if (!File.open(QIODevice::WriteOnly) ||
        File.write(Bytes.data(), static_cast<qint64>(Bytes.size())) != static_cast<qint64>(Bytes.size()) ||
        !File.commit())
        throw std::runtime_error(
            QStringLiteral("Cannot write file \"%1\": %2").arg(Path, File.errorString()).toStdString());
}

// The markup as the editor should show it. Without the layout: the editor would show the line break and
// indentation in front of a closing tag as a blank at the end of the paragraph (the converter never puts
// a line break into text). And with justified paragraphs marked in the attribute the editor reads, as it
// ignores the style property.
std::string ForTheEditor(std::string_view Markup) {
    static constexpr std::string_view Justified = "<p style=\"text-align:justify;";
    static constexpr std::string_view JustifiedForEditor = "<p align=\"justify\" style=\"";
    std::string Result;
    Result.reserve(Markup.size());
    std::size_t Position = 0;
    while (Position < Markup.size()) {
        const char Character = Markup[Position];
        if (Character == '\r' || Character == '\n') {
            while (Position < Markup.size() &&
                   (Markup[Position] == '\r' || Markup[Position] == '\n' || Markup[Position] == ' '))
                ++Position;
        } else if (Character == '<' && Markup.substr(Position, Justified.size()) == Justified) {
            Result += JustifiedForEditor;
            Position += Justified.size();
        } else {
            Result += Character;
            ++Position;
        }
    }
    return Result;
}

QLabel* AddLabelled(QFormLayout& Layout, const QString& Caption, QWidget* Field) {
    auto* Label = new QLabel(Caption);
    Label->setBuddy(Field);
    Layout.addRow(Label, Field);
    return Label;
}

} // namespace

std::string ToCrLfTextFile(std::string_view Text) {
    std::string File = "\xEF\xBB\xBF";
    File.reserve(Text.size() + Text.size() / 16 + 8);
    std::size_t LineStart = 0;
    std::size_t Position = 0;
    while (Position < Text.size()) {
        const char Character = Text[Position];
        if (Character != '\r' && Character != '\n') {
            ++Position;
            continue;
        }
        File.append(Text.substr(LineStart, Position - LineStart)).append("\r\n");
        Position += (Character == '\r' && Position + 1 < Text.size() && Text[Position + 1] == '\n') ? 2 : 1;
        LineStart = Position;
    }
    if (LineStart < Text.size()) File.append(Text.substr(LineStart)).append("\r\n");
    return File;
}

std::int32_t ParseWholeNumber(const QString& Text, const QString& FieldName) {
    bool Valid = false;
    const int Value = Text.trimmed().toInt(&Valid, 10);
    if (!Valid)
        throw std::runtime_error(
            QStringLiteral("%1 \"%2\" is not a whole number").arg(FieldName, Text).toStdString());
    return Value;
}

TfrmMain::TfrmMain(std::shared_ptr<IDesktopShell> Shell, const QString& ProgramFolder, QWidget* Parent)
    : QMainWindow(Parent), FShell(std::move(Shell)), FProgramFolder(ProgramFolder) {
    assert(FShell);
    CreateControls();
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::CreateControls() {
    QFont WindowFont(QStringLiteral("Segoe UI"));
    WindowFont.setPixelSize(15);
    setFont(WindowFont);
    setMinimumSize(600, 400);
    resize(844, 589);

    PageControl1 = new QTabWidget;
    tsFiles = CreateFilesPage();
    tsRichEdit = CreateRichEditPage();
    tsSettings = CreateSettingsPage();
    PageControl1->addTab(tsFiles, QStringLiteral("Convert RTF files"));
    PageControl1->addTab(tsRichEdit, QStringLiteral("Convert from TRichEdit"));
    PageControl1->addTab(tsSettings, QStringLiteral("Settings"));
    setCentralWidget(PageControl1);

    StatusBar1 = statusBar();
    StatusBar1->setSizeGripEnabled(false);
    // The panel is a widget of its own: a temporary message (a menu item's empty status tip) must not
    // wipe it.
    StatusPanel = new QLabel;
    StatusPanel->setCursor(Qt::PointingHandCursor);
    StatusBar1->addWidget(StatusPanel, 1);
    StatusBar1->installEventFilter(this);
    StatusPanel->installEventFilter(this);

    FontDialog1 = new QFontDialog(this);
    FontDialog1->setOption(QFontDialog::DontUseNativeDialog);
}

QWidget* TfrmMain::CreateFilesPage() {
    auto* Page = new QWidget;
    FFolderModel = new QFileSystemModel(this);
    FFolderModel->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    FFolderModel->setRootPath(QString());
    DirectoryListBox1 = new QTreeView;
    DirectoryListBox1->setModel(FFolderModel);
    for (int Column = 1; Column < FFolderModel->columnCount(); ++Column)
        DirectoryListBox1->hideColumn(Column);
    DirectoryListBox1->header()->hide();

    FFileModel = new QFileSystemModel(this);
    FFileModel->setFilter(QDir::Files);
    FFileModel->setNameFilters({QStringLiteral("*.rtf")});
    FFileModel->setNameFilterDisables(false);
    FileListBox1 = new QListView;
    FileListBox1->setModel(FFileModel);

    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& Current) {
                if (Current.isValid()) SetFolder(FFolderModel->filePath(Current));
            });
    // The tree fills and sorts itself in the background; the chosen folder can only be scrolled into view
    // once the rows above it are in place.
    const auto Reveal = [this] {
        if (!FRevealFolder.isEmpty())
            DirectoryListBox1->scrollTo(DirectoryListBox1->currentIndex(),
                                        QAbstractItemView::PositionAtCenter);
    };
    connect(FFolderModel, &QFileSystemModel::directoryLoaded, this, [this, Reveal](const QString& Path) {
        if (FRevealFolder.startsWith(Path)) QTimer::singleShot(0, this, Reveal);
    });
    connect(FFolderModel, &QAbstractItemModel::layoutChanged, this, [this, Reveal] {
        if (!FRevealFolder.isEmpty()) QTimer::singleShot(0, this, Reveal);
    });
    // Once the user takes the tree in hand it stays where they put it.
    connect(DirectoryListBox1, &QAbstractItemView::pressed, this, [this] { FRevealFolder.clear(); });
    connect(DirectoryListBox1->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { FRevealFolder.clear(); });
    connect(FileListBox1, &QAbstractItemView::doubleClicked, this,
            [this] { RunGuarded([this] { startConversion(); }); });

    memLog = new QPlainTextEdit;
    memLog->setReadOnly(true);
    memLog->setPlainText(
        QStringLiteral("To convert a RTF file, double-click the file name. The converted file "
                       "will be opened in the default browser."));
    memLog->setMaximumHeight(90);

    auto* Browser = new QSplitter(Qt::Horizontal);
    Browser->addWidget(DirectoryListBox1);
    Browser->addWidget(FileListBox1);
    Browser->setStretchFactor(0, 1);
    Browser->setStretchFactor(1, 1);
    auto* Layout = new QVBoxLayout(Page);
    Layout->addWidget(Browser, 1);
    Layout->addWidget(memLog);
    return Page;
}

QWidget* TfrmMain::CreateRichEditPage() {
    auto* Page = new QWidget;
    Button1 = new QPushButton(QStringLiteral("Convert"));
    connect(Button1, &QPushButton::clicked, this, [this] { RunGuarded([this] { ConvertRichEdit(); }); });
    RichEdit2 = new QTextEdit;
    RichEdit2->setFont(QFont(QStringLiteral("Tahoma"), 8));
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(Button1);
    Buttons->addStretch(1);
    auto* Layout = new QVBoxLayout(Page);
    Layout->addLayout(Buttons);
    Layout->addWidget(RichEdit2, 1);
    return Page;
}

QWidget* TfrmMain::CreateSettingsPage() {
    PageControl2 = new QTabWidget;

    tsGeneral = new QWidget;
    auto* General = new QFormLayout(tsGeneral);
    cbxof = new QComboBox;
    AddLabelled(*General, QStringLiteral("Output format:"), cbxof);
    CbxConvertToPlainText = new QCheckBox(QStringLiteral("ConvertToPlainText"));
    CbxConvertToPlainText->setVisible(false);
    General->addRow(CbxConvertToPlainText);
    ediHTMLFile = new QLineEdit;
    AddLabelled(*General, QStringLiteral("Output file name:"), ediHTMLFile);
    CbxConvertEmptyParagraphs =
        new QCheckBox(QStringLiteral("ConvertEmptyParagraphs (not supported with 'strict' doctypes)"));
    CbxConvertEmptyParagraphs->setToolTip(QStringLiteral(
        "Set this property to True to replace empty paragraphs (where the opening <p> tag is followed by the "
        "closing </p> tag) by a line break tag (<br />). "));
    General->addRow(CbxConvertEmptyParagraphs);
    // "&&" shows one ampersand: the caption reads "&nbsp;".
    cbxSpaces = new QCheckBox(QStringLiteral("Convert multiple spaces to &&nbsp;"));
    General->addRow(cbxSpaces);
    cbxHyper = new QCheckBox(QStringLiteral("Convert Hyperlinks"));
    General->addRow(cbxHyper);
    cbxTables = new QCheckBox(QStringLiteral("Convert Tables (OptionsStructure.Tables)"));
    cbxTables->setToolTip(QStringLiteral(
        "Write RTF tables as table elements, with merged cells, nested tables and header rows, instead of "
        "tab-separated lines."));
    General->addRow(cbxTables);
    cbxLists = new QCheckBox(QStringLiteral("Convert Lists (OptionsStructure.Lists)"));
    cbxLists->setToolTip(QStringLiteral(
        "Nest lists by level and keep their numbering (1., a., iii., bullets) and first numbers, instead of "
        "one flat list."));
    General->addRow(cbxLists);
    cbxNotes = new QCheckBox(QStringLiteral("Convert Notes (OptionsStructure.Notes)"));
    cbxNotes->setToolTip(QStringLiteral(
        "Write footnotes and endnotes after the text, each linked from its numbered reference and back, "
        "instead of leaving them out."));
    General->addRow(cbxNotes);
    cbxHeadersFooters =
        new QCheckBox(QStringLiteral("Convert Headers and Footers (OptionsStructure.HeadersFooters)"));
    cbxHeadersFooters->setToolTip(QStringLiteral(
        "Write the first section's header before the text and its footer after it, instead of leaving them "
        "out."));
    General->addRow(cbxHeadersFooters);

    tsFonts = new QWidget;
    auto* Fonts = new QVBoxLayout(tsFonts);
    Panel3 = new QLabel(QStringLiteral("Editor for ReplaceFonts property"));
    Panel3->setAlignment(Qt::AlignCenter);
    Panel3->setFrameShape(QFrame::Panel);
    VleFonts =
        new TValueListEditor(QStringLiteral("Font name starts with:"), QStringLiteral("Replace with:"));
    VleFonts->horizontalHeader()->resizeSection(0, 220);
    connect(VleFonts, &TValueListEditor::DuplicateKey, this, [this](const QString& Key) {
        FShell->ShowError(this, QStringLiteral("The font name \"%1\" is already in the list.").arg(Key));
    });
    btnAddFont = new QPushButton(QStringLiteral("Add row"));
    connect(btnAddFont, &QPushButton::clicked, this, [this] {
        const int Row = VleFonts->InsertRow(QString(), QString());
        VleFonts->setCurrentCell(Row, 0);
        VleFonts->editItem(VleFonts->item(Row, 0));
    });
    btnDeleteFont = new QPushButton(QStringLiteral("Delete row"));
    connect(btnDeleteFont, &QPushButton::clicked, this,
            [this] { VleFonts->DeleteRow(VleFonts->currentRow()); });
    auto* FontButtons = new QHBoxLayout;
    FontButtons->addWidget(btnAddFont);
    FontButtons->addWidget(btnDeleteFont);
    FontButtons->addStretch(1);
    Fonts->addWidget(Panel3);
    Fonts->addWidget(VleFonts, 1);
    Fonts->addLayout(FontButtons);

    tsWrapper = new QWidget;
    auto* Wrapper = new QVBoxLayout(tsWrapper);
    cbxAddOuterHTML =
        new QCheckBox(QStringLiteral("AddOuterHTML (generate <html>...</html> and <body>...</body> tags)"));
    cbxAddOuterHTML->setChecked(true);
    connect(cbxAddOuterHTML, &QCheckBox::toggled, this, [this] { cbxAddOuterHTMLClick(); });
    Panel7 = new QWidget;
    auto* Head = new QFormLayout(Panel7);
    Head->setContentsMargins(0, 0, 0, 0);
    ediTitle = new QLineEdit;
    AddLabelled(*Head, QStringLiteral("Document title"), ediTitle);
    ediStyle = new QLineEdit;
    AddLabelled(*Head, QStringLiteral("Style sheet name"), ediStyle);
    ediAuthor = new QLineEdit(QStringLiteral("CorvaneXHTML Demo"));
    AddLabelled(*Head, QStringLiteral("META tag: author"), ediAuthor);
    ediDescription = new QLineEdit(QStringLiteral("document description ..."));
    AddLabelled(*Head, QStringLiteral("META tag: description"), ediDescription);
    ediKeywords = new QLineEdit(QStringLiteral("RTF, XHTML, convert"));
    AddLabelled(*Head, QStringLiteral("META tag: keywords"), ediKeywords);
    MemCss = new QPlainTextEdit;
    MemCss->setFont(QFont(QStringLiteral("Consolas")));
    MemCss->setPlainText(QStringLiteral("BODY, P {\n  margin-bottom:0px;margin-top:0px;\n }"));
    AddLabelled(*Head, QStringLiteral("Embedded CSS"), MemCss);
    Wrapper->addWidget(cbxAddOuterHTML);
    Wrapper->addWidget(Panel7, 1);

    tsPictures = new QWidget;
    auto* Pictures = new QFormLayout(tsPictures);
    cbxPictures = new QCheckBox(QStringLiteral("ConvertPictures"));
    Pictures->addRow(cbxPictures);
    EditMaxDataURISize = new QLineEdit;
    AddLabelled(*Pictures, QStringLiteral("Embedd pictures as Data URI up to (kilobytes):"),
                EditMaxDataURISize);

    PageControl2->addTab(tsGeneral, QStringLiteral("General"));
    PageControl2->addTab(tsFonts, QStringLiteral("Fonts"));
    PageControl2->addTab(tsWrapper, QStringLiteral("HTML wrapper"));
    PageControl2->addTab(tsPictures, QStringLiteral("Pictures"));
    auto* Page = new QWidget;
    auto* Layout = new QVBoxLayout(Page);
    Layout->addWidget(PageControl2);
    return Page;
}

void TfrmMain::FormCreate() {
    FRichPopup = new TRkRichPopUpMenu(this);
    FRichPopup->SetFontDialog(FontDialog1);
    FRichPopup->Loaded();
    FRichPopup->AttachTo(RichEdit2);

    const QString Sample = QDir(FProgramFolder).filePath(QString::fromUtf8(SampleFileName));
    const bool SampleLoaded = LoadRichEdit(Sample);

    const QString Title =
        QStringLiteral("%1 %2 Demo")
            .arg(QString::fromUtf8(ProductTitle), QString::fromStdString(FConverter.Version()));
    setWindowTitle(Title);
    QApplication::setApplicationDisplayName(Title);
    StatusPanel->setText(QStringLiteral("Home page: ") + QString::fromUtf8(ProductHomePage));
    if (!SampleLoaded)
        StatusBar1->showMessage(QStringLiteral("The sample %1 could not be loaded; the editor starts empty.")
                                    .arg(QDir::toNativeSeparators(Sample)));
    ediHTMLFile->setText(QDir(FProgramFolder).filePath(QString::fromUtf8(DefaultOutputFileName)));

    FConverter.SetConvertPictures(true);
    FConverter.SetConvertIndent(true);
    FConverter.SetConvertEmptyParagraphs(true);

    ediTitle->setText(QString::fromStdString(FConverter.OptionsHead().DocumentTitle()));
    ediStyle->setText(QString::fromStdString(FConverter.OptionsHead().StyleSheetLink()));
    cbxHyper->setChecked(FConverter.ConvertHyperlinks());
    cbxTables->setChecked(FConverter.OptionsStructure().Tables());
    cbxLists->setChecked(FConverter.OptionsStructure().Lists());
    cbxNotes->setChecked(FConverter.OptionsStructure().Notes());
    cbxHeadersFooters->setChecked(FConverter.OptionsStructure().HeadersFooters());
    cbxPictures->setChecked(FConverter.ConvertPictures());
    cbxSpaces->setChecked(FConverter.ConvertSpaces());
    VleFonts->SetStrings(FConverter.ReplaceFonts());
    CbxConvertEmptyParagraphs->setChecked(FConverter.ConvertEmptyParagraphs());

    // The list shows each dialect by its translator's own name.
    TRkCorvaneXHTML Names;
    for (TDocumentType Type : OutputFormats) {
        Names.SetDocumentType(Type);
        const auto& Translator = dynamic_cast<const TCustomTranslator&>(*Names.Translator());
        cbxof->addItem(QString::fromStdString(Translator.GetDialectName()));
    }
    cbxof->setCurrentIndex(DefaultOutputFormat);

    EditMaxDataURISize->setText(QStringLiteral("32"));
    EditMaxDataURISize->setEnabled(cbxPictures->isChecked());

    SetFolder(QDir::currentPath());
    if (const QScreen* Screen = QGuiApplication::primaryScreen())
        move(Screen->availableGeometry().center() - rect().center());
}

void TfrmMain::FormShow() {
    PageControl1->setCurrentIndex(0);
    PageControl2->setCurrentIndex(0);
}

void TfrmMain::showEvent(QShowEvent* Event) {
    QMainWindow::showEvent(Event);
    if (!Event->spontaneous()) FormShow();
}

bool TfrmMain::eventFilter(QObject* Watched, QEvent* Event) {
    if ((Watched == StatusBar1 || Watched == StatusPanel) && Event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton) {
        StatusBar1Click();
        return true;
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TfrmMain::StatusBar1Click() {
    FShell->Open(QUrl(QString::fromUtf8(ProductHomePage)));
}

void TfrmMain::cbxAddOuterHTMLClick() {
    Panel7->setVisible(cbxAddOuterHTML->isChecked());
}

void TfrmMain::SetFolder(const QString& Folder) {
    const QModelIndex FolderIndex = FFolderModel->index(Folder);
    if (FolderIndex.isValid() && DirectoryListBox1->currentIndex() != FolderIndex) {
        FRevealFolder = Folder;
        DirectoryListBox1->setCurrentIndex(FolderIndex);
        DirectoryListBox1->scrollTo(FolderIndex, QAbstractItemView::PositionAtCenter);
    }
    FileListBox1->setRootIndex(FFileModel->setRootPath(Folder));
}

QString TfrmMain::SelectedFileName() const {
    const QModelIndex Current = FileListBox1->currentIndex();
    if (!Current.isValid() || FFileModel->isDir(Current)) return QString();
    return FFileModel->filePath(Current);
}

bool TfrmMain::LoadRichEdit(const QString& FileName) {
    RichEdit2->clear();
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly)) return false;
    const QByteArray Rtf = File.readAll();
    // A converter of its own, set for what the editor can show, so the window's settings stay untouched.
    TRkCorvaneXHTML Loader;
    // Styles as CSS: the editor knows text-decoration but not every presentational element.
    Loader.SetDocumentType(dtHTML_50);
    Loader.SetConvertIndent(true);
    Loader.SetConvertSpaces(true);
    Loader.SetConvertEmptyParagraphs(true);
    Loader.SetConvertFields(true);
    Loader.SetConvertHyperlinks(true);
    Loader.SetConvertPictures(true);
    auto Pictures = std::make_shared<TMemoryPictureAdapterDataURI>(INT32_MAX / 1024);
    Pictures->SetConverter(MetafileConverter());
    Loader.SetPictureAdapter(Pictures);
    try {
        const std::string Html =
            Loader.Convert(std::string_view(Rtf.constData(), static_cast<std::size_t>(Rtf.size())));
        if (Html.empty()) return false;
        RichEdit2->setHtml(QString::fromStdString(ForTheEditor(Html)));
    } catch (const std::exception&) {
        return false;
    }
    RichEdit2->document()->clearUndoRedoStacks();
    return true;
}

void TfrmMain::ApplySettings() {
    TRkCorvaneXHTML& Converter = FConverter;
    Converter.SetConvertSpaces(cbxSpaces->isChecked());
    Converter.OptionsHead().SetDocumentTitle(ediTitle->text().toStdString());
    Converter.OptionsHead().SetStyleSheetLink(ediStyle->text().toStdString());
    Converter.SetConvertFields(cbxHyper->isChecked());
    Converter.SetConvertAnchors(cbxHyper->isChecked());
    Converter.SetConvertHyperlinks(cbxHyper->isChecked());
    Converter.SetConvertPictures(cbxPictures->isChecked());
    Converter.OptionsStructure().SetTables(cbxTables->isChecked());
    Converter.OptionsStructure().SetLists(cbxLists->isChecked());
    Converter.OptionsStructure().SetNotes(cbxNotes->isChecked());
    Converter.OptionsStructure().SetHeadersFooters(cbxHeadersFooters->isChecked());
    Converter.OptionsHead().SetMetaAuthor(ediAuthor->text().toStdString());
    Converter.OptionsHead().SetMetaDescription(ediDescription->text().toStdString());
    Converter.OptionsHead().SetMetaKeywords(ediKeywords->text().toStdString());
    if (Converter.ConvertPictures()) {
        // A fresh adapter each time, so no picture of an earlier conversion carries over.
        auto Adapter = std::make_shared<TMemoryPictureAdapterDataURI>(ParseWholeNumber(
            EditMaxDataURISize->text(), QStringLiteral("Embedd pictures as Data URI up to")));
        Adapter->SetConverter(MetafileConverter());
        Converter.SetPictureAdapter(Adapter);
    }
    const int Format = cbxof->currentIndex();
    if (Format >= 0 && Format < static_cast<int>(OutputFormats.size()))
        Converter.SetDocumentType(OutputFormats[static_cast<std::size_t>(Format)]);
    Converter.OptionsHead().SetAddOuterHTML(cbxAddOuterHTML->isChecked());
    Converter.SetReplaceFonts(VleFonts->Strings());
    Converter.OptionsHead().SetStyleSheetInclude(Lines(MemCss->toPlainText()));
    Converter.SetConvertToPlainText(CbxConvertToPlainText->isChecked());
    Converter.SetConvertEmptyParagraphs(CbxConvertEmptyParagraphs->isChecked());
}

void TfrmMain::startConversion() {
    const QString Input = SelectedFileName();
    if (Input.isEmpty()) return;
    ApplySettings();
    const QString Output = ediHTMLFile->text();
    FConverter.ConvertFile(FileName(Input), FileName(Output));
    if (FConverter.ConvertPictures()) {
        // Pictures too large to embed are referred to by name: they go next to the output file.
        const QDir Folder = QFileInfo(Output).absoluteDir();
        for (const auto& [Name, Picture] : FConverter.PictureAdapter()->GetPictures()) {
            if (Picture->IsDataURI()) continue;
            const std::vector<std::uint8_t>& Bytes = Picture->GetData().Bytes();
            WriteFile(Folder.filePath(QString::fromStdString(Name)),
                      std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
        }
    }
    FShell->Open(QUrl::fromLocalFile(QFileInfo(Output).absoluteFilePath()));
}

std::string TfrmMain::RichEditToHTML(QTextEdit& Editor) {
    std::istringstream Stream(TRichTextRtfWriter::Write(*Editor.document()));
    return FConverter.Convert(StreamToString(Stream));
}

void TfrmMain::ConvertRichEdit() {
    ApplySettings();
    const std::string Html = RichEditToHTML(*RichEdit2);
    const QString Output = ediHTMLFile->text();
    WriteFile(Output, ToCrLfTextFile(Html));
    FShell->Open(QUrl::fromLocalFile(QFileInfo(Output).absoluteFilePath()));
}

template <typename TAction> void TfrmMain::RunGuarded(TAction Action) {
    try {
        Action();
    } catch (const std::exception& Error) {
        FShell->ShowError(this, QString::fromUtf8(Error.what()));
    }
}

} // namespace corvane
