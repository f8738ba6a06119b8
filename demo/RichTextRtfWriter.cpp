#include "RichTextRtfWriter.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

#include <cmath>
#include <cstdint>
#include <vector>

namespace corvane {

namespace {

// Qt measures paragraph margins in pixels at 96 per inch; RTF in twips (1440 per inch).
constexpr double TwipsPerPixel = 15.0;

// Builds the body in one pass while it collects the fonts and colours it meets, then puts the two tables
// in front of it.
class TRtfBuilder {
public:
    explicit TRtfBuilder(const QTextDocument& Document) : FDocument(Document) {}

    std::string Build() {
        // The document's own font is font 0, the default, so the table is never empty.
        FontIndex(FDocument.defaultFont().family());
        for (QTextBlock Block = FDocument.begin(); Block.isValid(); Block = Block.next()) {
            WriteBlock(Block);
            // An empty last block is only where the cursor can go after the last paragraph mark.
            const bool EmptyLast = !Block.next().isValid() && Block.length() <= 1;
            if (!EmptyLast) FBody += "\\par\r\n";
        }
        std::string Rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
        for (std::size_t Index = 0; Index < FFontNames.size(); ++Index) {
            Rtf += "{\\f" + std::to_string(Index) + "\\fnil ";
            AppendFontName(FFontNames[Index], Rtf);
            Rtf += ";}";
        }
        Rtf += "}\r\n{\\colortbl ;";
        for (QRgb Color : FColors) {
            Rtf += "\\red" + std::to_string(qRed(Color)) + "\\green" + std::to_string(qGreen(Color)) +
                   "\\blue" + std::to_string(qBlue(Color)) + ";";
        }
        Rtf += "}\r\n\\viewkind4\r\n";
        Rtf += FBody;
        Rtf += "}\r\n";
        return Rtf;
    }

private:
    void WriteBlock(const QTextBlock& Block) {
        const QTextBlockFormat Format = Block.blockFormat();
        FBody += "\\pard";
        const Qt::Alignment Alignment = Format.alignment();
        if (Alignment.testFlag(Qt::AlignHCenter))
            FBody += "\\qc";
        else if (Alignment.testFlag(Qt::AlignRight))
            FBody += "\\qr";
        else if (Alignment.testFlag(Qt::AlignJustify))
            FBody += "\\qj";

        const double IndentWidth = FDocument.indentWidth();
        AppendMeasure("\\li", Format.leftMargin() + Format.indent() * IndentWidth);
        AppendMeasure("\\ri", Format.rightMargin());
        AppendMeasure("\\fi", Format.textIndent());
        AppendMeasure("\\sb", Format.topMargin());
        AppendMeasure("\\sa", Format.bottomMargin());

        if (const QTextList* List = Block.textList()) {
            const QTextListFormat::Style Style = List->format().style();
            const bool Bullet = Style == QTextListFormat::ListDisc || Style == QTextListFormat::ListCircle ||
                                Style == QTextListFormat::ListSquare;
            // The bullet or number as plain text for readers without list support, then the numbering
            // definition itself.
            if (Bullet)
                FBody += "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'b7}}";
            else
                FBody += "{\\pntext " + std::to_string(List->itemNumber(Block) + 1) + ".\\tab}" +
                         "{\\*\\pn\\pnlvlbody\\pndec\\pnindent0{\\pntxta .}}";
        }
        // Every run opens a group, which also ends the paragraph's last control word.
        for (auto Iterator = Block.begin(); !Iterator.atEnd(); ++Iterator) {
            const QTextFragment Fragment = Iterator.fragment();
            if (Fragment.isValid()) WriteRun(Fragment);
        }
    }

    void AppendMeasure(const char* Keyword, double Pixels) {
        const long Twips = std::lround(Pixels * TwipsPerPixel);
        if (Twips == 0) return;
        FBody += Keyword;
        FBody += std::to_string(Twips);
    }

    // One run as a group: every property is written, so nothing depends on the run before it.
    void WriteRun(const QTextFragment& Fragment) {
        const QTextCharFormat Format = Fragment.charFormat();
        const QFont Default = FDocument.defaultFont();
        QString Family = Default.family();
        const QStringList Families = Format.fontFamilies().toStringList();
        if (!Families.isEmpty() && !Families.front().isEmpty()) Family = Families.front();

        double Points = Default.pointSizeF();
        if (Points <= 0) Points = Default.pixelSize() * 0.75;
        if (Format.hasProperty(QTextFormat::FontPointSize))
            Points = Format.fontPointSize();
        else if (Format.hasProperty(QTextFormat::FontPixelSize))
            Points = Format.intProperty(QTextFormat::FontPixelSize) * 0.75;

        FBody += "{\\f" + std::to_string(FontIndex(Family));
        FBody += "\\fs" + std::to_string(std::max(1L, std::lround(Points * 2)));
        if (Format.fontWeight() > QFont::Medium) FBody += "\\b";
        if (Format.fontItalic()) FBody += "\\i";
        if (Format.fontUnderline()) FBody += "\\ul";
        if (Format.fontStrikeOut()) FBody += "\\strike";
        const QTextCharFormat::VerticalAlignment Vertical = Format.verticalAlignment();
        if (Vertical == QTextCharFormat::AlignSuperScript) FBody += "\\super";
        if (Vertical == QTextCharFormat::AlignSubScript) FBody += "\\sub";
        if (Format.hasProperty(QTextFormat::ForegroundBrush) && Format.foreground().style() != Qt::NoBrush)
            FBody += "\\cf" + std::to_string(ColorIndex(Format.foreground().color().rgb()));
        if (Format.hasProperty(QTextFormat::BackgroundBrush) && Format.background().style() != Qt::NoBrush)
            FBody += "\\highlight" + std::to_string(ColorIndex(Format.background().color().rgb()));
        FBody += ' ';
        AppendText(Fragment.text(), FBody);
        FBody += '}';
    }

    static void AppendUnicode(char16_t Unit, std::string& Out) {
        // RTF takes the code unit as a signed 16-bit number; a "?" stands in for readers without Unicode.
        Out += "\\u" + std::to_string(static_cast<std::int16_t>(Unit)) + '?';
    }

    static void AppendText(const QString& Text, std::string& Out) {
        for (const QChar Character : Text) {
            const char16_t Unit = Character.unicode();
            switch (Unit) {
            case u'\\':
            case u'{':
            case u'}':
                Out += '\\';
                Out += static_cast<char>(Unit);
                break;
            case u'\t':
                Out += "\\tab ";
                break;
            case 0x2028: // line separator: a line break inside the paragraph
                Out += "\\line ";
                break;
            case 0xFFFC: // an embedded object (an image); it has no text
                break;
            default:
                if (Unit < 0x20) break;
                if (Unit < 0x80)
                    Out += static_cast<char>(Unit);
                else
                    AppendUnicode(Unit, Out);
                break;
            }
        }
    }

    // Font names end at ";" and must not open or close a group in the table.
    static void AppendFontName(const QString& Name, std::string& Out) {
        QString Clean;
        for (const QChar Character : Name)
            if (Character != u';' && Character != u'{' && Character != u'}' && Character != u'\\')
                Clean += Character;
        AppendText(Clean, Out);
    }

    int FontIndex(const QString& Family) {
        const auto Found = FFontIndexes.constFind(Family);
        if (Found != FFontIndexes.cend()) return Found.value();
        const int Index = static_cast<int>(FFontNames.size());
        FFontIndexes.insert(Family, Index);
        FFontNames.push_back(Family);
        return Index;
    }

    // Entry 0 of the colour table is the automatic colour, so real colours count from 1.
    int ColorIndex(QRgb Color) {
        Color = qRgb(qRed(Color), qGreen(Color), qBlue(Color));
        const auto Found = FColorIndexes.constFind(Color);
        if (Found != FColorIndexes.cend()) return Found.value();
        FColors.push_back(Color);
        const int Index = static_cast<int>(FColors.size());
        FColorIndexes.insert(Color, Index);
        return Index;
    }

    const QTextDocument& FDocument;
    std::string FBody;
    QHash<QString, int> FFontIndexes;
    std::vector<QString> FFontNames;
    QHash<QRgb, int> FColorIndexes;
    std::vector<QRgb> FColors;
};

} // namespace

std::string TRichTextRtfWriter::Write(const QTextDocument& Document) {
    return TRtfBuilder(Document).Build();
}

} // namespace corvane
