#include "CxReader.h"

#include "CxByteScan.h"
#include "CxLanguage.h"
#include "CxOptions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>

namespace corvane {
namespace {

// ---------------------------------------------------------------------------------------------------
// Keyword look-up: single characters through a direct table, words through an open-addressing hash
// table. Both are built once from KeywordTable, first row first, so a keyword finds the row the linear
// scan would find.

// Keywords are short and mostly unknown ones (revision marks, layout): a hash of the length and four
// of the characters spreads the table's rows well and costs the same for every length.
constexpr std::uint32_t HashKeyword(const char* Keyword, std::size_t Length) {
    const auto At = [Keyword](std::size_t Index) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(Keyword[Index]));
    };
    const std::uint32_t Hash = (static_cast<std::uint32_t>(Length) * 0x9E3779B1u) ^ (At(0) * 0x85EBCA77u) ^
                               (At(1) * 0xC2B2AE3Du) ^ (At(Length - 1) * 0x27D4EB2Fu) ^
                               (At(Length / 2) * 0x165667B1u);
    return Hash ^ (Hash >> 16);
}

class TKeywordIndex {
public:
    TKeywordIndex() {
        for (std::size_t Row = 0; Row < KeywordTable.size(); ++Row) {
            const std::string_view Keyword = KeywordTable[Row].Keyword;
            assert(!Keyword.empty());
            const auto Entry = static_cast<std::uint8_t>(Row + 1);
            if (Keyword.size() <= ShortLength) AddShort(Keyword, Entry);
            if (Keyword.size() == 1) {
                std::uint8_t& Single = FSingles[static_cast<std::uint8_t>(Keyword[0])];
                if (Single == 0) Single = Entry;
                continue;
            }
            FMaxLength = std::max(FMaxLength, Keyword.size());
            const std::uint32_t Hash = HashKeyword(Keyword.data(), Keyword.size());
            std::size_t Slot = Hash & SlotMask;
            while (FSlots[Slot].Row != 0 && KeywordTable[FSlots[Slot].Row - 1].Keyword != Keyword)
                Slot = (Slot + 1) & SlotMask;
            if (FSlots[Slot].Row == 0) FSlots[Slot] = {static_cast<std::uint8_t>(Hash >> 24), Entry};
        }
        FCellRow = Find("cell", 4);
        FRowRow = Find("row", 3);
    }

    // Keywords are a few letters long: a loop beats a call to memcmp.
    static bool SameBytes(const char* Left, const char* Right, std::size_t Length) {
        for (std::size_t Index = 0; Index < Length; ++Index)
            if (Left[Index] != Right[Index]) return false;
        return true;
    }

    static constexpr std::size_t ShortLength = 8;

    // The keyword's bytes as one number, the bytes after it cleared; Keyword must have eight readable
    // bytes. Letters are never zero, so keywords of different lengths never share a key, and no key is 0.
    static std::uint64_t ShortKey(const char* Keyword, std::size_t Length) {
        std::uint64_t Key;
        std::memcpy(&Key, Keyword, sizeof Key);
        const std::uint64_t Kept = ~std::uint64_t{0} >> (64 - 8 * Length);
        return Key &
               (std::endian::native == std::endian::little ? Kept : ~(~std::uint64_t{0} >> (8 * Length)));
    }

    // ShortKey of a keyword that may stand alone, without eight bytes behind it.
    static std::uint64_t PaddedShortKey(std::string_view Keyword) {
        char Padded[sizeof(std::uint64_t)] = {};
        std::memcpy(Padded, Keyword.data(), Keyword.size());
        return ShortKey(Padded, Keyword.size());
    }

    // A slot of a table of 2^Bits slots for a short key.
    static std::size_t SlotOf(std::uint64_t Key, unsigned Bits) {
        return static_cast<std::size_t>((Key * 0x9E3779B97F4A7C15u) >> (64 - Bits));
    }

    // The same look-up for a keyword of 1 to ShortLength letters, by its ShortKey: one multiplication and
    // one comparison, where most keywords are that short.
    const TTokenDef* FindShort(std::uint64_t Key) const {
        for (std::size_t Slot = SlotOf(Key, ShortSlotBits);; Slot = (Slot + 1) & ShortSlotMask) {
            const std::uint8_t Row = FShortRows[Slot];
            if (Row == 0) return nullptr;
            if (FShortKeys[Slot] == Key) return &KeywordTable[Row - 1];
        }
    }

    const TTokenDef* Find(const char* Keyword, std::size_t Length) const {
        if (Length == 1) {
            const std::uint8_t Entry = FSingles[static_cast<std::uint8_t>(Keyword[0])];
            return Entry ? &KeywordTable[Entry - 1] : nullptr;
        }
        if (Length == 0 || Length > FMaxLength) return nullptr;
        const std::uint32_t Hash = HashKeyword(Keyword, Length);
        const auto Tag = static_cast<std::uint8_t>(Hash >> 24);
        for (std::size_t Slot = Hash & SlotMask;; Slot = (Slot + 1) & SlotMask) {
            const TSlot Candidate = FSlots[Slot];
            if (Candidate.Row == 0) return nullptr;
            if (Candidate.Tag != Tag) continue;
            const TTokenDef& Row = KeywordTable[Candidate.Row - 1];
            if (Row.Keyword.size() == Length && SameBytes(Keyword, Row.Keyword.data(), Length)) return &Row;
        }
    }

    // \cell and \row, which the table reader may take before the keyword table does.
    const TTokenDef* CellRow() const { return FCellRow; }
    const TTokenDef* RowRow() const { return FRowRow; }

private:
    static_assert(KeywordCount < 255, "rows are stored as one byte");
    void AddShort(std::string_view Keyword, std::uint8_t Entry) {
        const std::uint64_t Key = PaddedShortKey(Keyword);
        std::size_t Slot = SlotOf(Key, ShortSlotBits);
        while (FShortRows[Slot] != 0 && FShortKeys[Slot] != Key)
            Slot = (Slot + 1) & ShortSlotMask;
        if (FShortRows[Slot] == 0) {
            FShortKeys[Slot] = Key;
            FShortRows[Slot] = Entry;
        }
    }
    static constexpr unsigned ShortSlotBits = 10; // a quarter full at most
    static constexpr std::size_t ShortSlotMask = (std::size_t{1} << ShortSlotBits) - 1;
    std::array<std::uint64_t, std::size_t{1} << ShortSlotBits> FShortKeys{};
    std::array<std::uint8_t, std::size_t{1} << ShortSlotBits> FShortRows{};

    struct TSlot {
        std::uint8_t Tag = 0; // more bits of the hash, to pass over other keywords without comparing
        std::uint8_t Row = 0; // row + 1; 0 is an empty slot
    };
    static constexpr std::size_t SlotCount = 512; // a quarter full: most look-ups probe one slot
    static constexpr std::size_t SlotMask = SlotCount - 1;
    std::array<std::uint8_t, 256> FSingles{};
    std::array<TSlot, SlotCount> FSlots{};
    std::size_t FMaxLength = 0;
    const TTokenDef* FCellRow = nullptr;
    const TTokenDef* FRowRow = nullptr;
};

const TKeywordIndex& KeywordIndex() {
    static const TKeywordIndex Index;
    return Index;
}

// ---------------------------------------------------------------------------------------------------
// Bytes the main loop treats specially; everything else is plain input.

enum TByteClass : std::uint8_t { bcPlain, bcBackslash, bcOpenGroup, bcCloseGroup, bcLineBreak };

constexpr std::array<std::uint8_t, 256> MakeByteClasses() {
    std::array<std::uint8_t, 256> Classes{};
    Classes['\\'] = bcBackslash;
    Classes['{'] = bcOpenGroup;
    Classes['}'] = bcCloseGroup;
    Classes['\n'] = bcLineBreak;
    Classes['\r'] = bcLineBreak;
    return Classes;
}
constexpr std::array<std::uint8_t, 256> ByteClasses = MakeByteClasses();

constexpr bool IsDigit(std::uint8_t Byte) {
    return static_cast<std::uint8_t>(Byte - '0') < 10;
}

// Picture data: a hexadecimal digit's value; blanks, tabs and line breaks are skipped; anything else
// is not picture data.
constexpr std::uint8_t PictureSkip = 16;
constexpr std::uint8_t PictureInvalid = 0xFF;

constexpr std::array<std::uint8_t, 256> MakePictureDigits() {
    std::array<std::uint8_t, 256> Digits{};
    Digits.fill(PictureInvalid);
    for (int Digit = 0; Digit < 10; ++Digit)
        Digits['0' + Digit] = static_cast<std::uint8_t>(Digit);
    for (int Digit = 0; Digit < 6; ++Digit) {
        Digits['a' + Digit] = static_cast<std::uint8_t>(10 + Digit);
        Digits['A' + Digit] = static_cast<std::uint8_t>(10 + Digit);
    }
    Digits[' '] = Digits['\t'] = Digits['\n'] = Digits['\r'] = PictureSkip;
    return Digits;
}
constexpr std::array<std::uint8_t, 256> PictureDigits = MakePictureDigits();

// The value of a run of decimal digits; a number above the 64-bit signed range counts as 0.
std::uint64_t ParameterMagnitude(const std::uint8_t* Digits, const std::uint8_t* End) {
    constexpr std::uint64_t Limit = static_cast<std::uint64_t>(INT64_MAX);
    std::uint64_t Magnitude = 0;
    for (; Digits != End; ++Digits) {
        const unsigned Digit = static_cast<unsigned>(*Digits - '0');
        if (Magnitude > (Limit - Digit) / 10) return 0;
        Magnitude = Magnitude * 10 + Digit;
    }
    return Magnitude;
}

// The value of Count (1 to MaxDigitsAtOnce) decimal digits at Digits, computed at once from one load of
// eight bytes (all readable) instead of digit by digit.
constexpr unsigned MaxDigitsAtOnce = 8;
std::uint64_t DigitsValue(const std::uint8_t* Digits, unsigned Count) {
    std::uint64_t Chunk;
    std::memcpy(&Chunk, Digits, sizeof Chunk);
    if constexpr (std::endian::native == std::endian::big) Chunk = __builtin_bswap64(Chunk);
    // The digits' values moved up to the top bytes, zeros below them as leading zeros. A byte after the
    // digits may borrow from those above it, all of which the shift drops.
    Chunk = (Chunk - 0x3030303030303030u) << (8 * (8 - Count));
    // Neighbouring bytes, then pairs of them, then quadruples combine into numbers of twice the digits.
    Chunk = ((Chunk & 0x0F0F0F0F0F0F0F0Fu) * (1 + (10u << 8))) >> 8;
    Chunk = ((Chunk & 0x00FF00FF00FF00FFu) * (1 + (100u << 16))) >> 16;
    return ((Chunk & 0x0000FFFF0000FFFFu) * (1 + (10000ull << 32))) >> 32;
}

constexpr int HexValue(char Character) {
    if (Character >= '0' && Character <= '9') return Character - '0';
    if (Character >= 'a' && Character <= 'f') return Character - 'a' + 10;
    if (Character >= 'A' && Character <= 'F') return Character - 'A' + 10;
    return -1;
}

// ---------------------------------------------------------------------------------------------------
// Text helpers.

void TrimBlanksAndControls(std::string& Text) {
    const auto IsBlank = [](char Character) { return static_cast<std::uint8_t>(Character) <= ' '; };
    Text.erase(std::find_if_not(Text.rbegin(), Text.rend(), IsBlank).base(), Text.end());
    Text.erase(Text.begin(), std::find_if_not(Text.begin(), Text.end(), IsBlank));
}

// True when Name can stand unquoted in a font-family list: one CSS identifier. Anything else (a blank,
// a leading digit, punctuation) must be quoted, or the browser drops the whole declaration.
bool IsCssIdentifier(std::string_view Name) {
    const auto IsNameStart = [](char Character) {
        const auto Byte = static_cast<std::uint8_t>(Character);
        return (Byte >= 'a' && Byte <= 'z') || (Byte >= 'A' && Byte <= 'Z') || Byte == '_' || Byte >= 0x80;
    };
    const auto IsNameCharacter = [&IsNameStart](char Character) {
        return IsNameStart(Character) || (Character >= '0' && Character <= '9') || Character == '-';
    };
    const std::size_t Start = Name.starts_with('-') ? 1 : 0;
    if (Start >= Name.size() || !(IsNameStart(Name[Start]) || (Start == 1 && Name[Start] == '-')))
        return false;
    return std::all_of(Name.begin() + static_cast<std::ptrdiff_t>(Start), Name.end(), IsNameCharacter);
}

const char* GenericFamily(TFontFamily Family) {
    switch (Family) {
    case ffRoman:
    case ffScript:
        return ",serif";
    case ffSwiss:
        return ",sans-serif";
    default:
        return "";
    }
}

// A colour component in lower-case hexadecimal, at least two digits; values outside 0..255 keep all
// their digits, negative ones as their 32-bit two's complement.
void AppendColorComponent(std::int32_t Value, std::string& Output) {
    static constexpr char Digits[] = "0123456789abcdef";
    if (Value < 16) Output += '0';
    auto Bits = static_cast<std::uint32_t>(Value);
    char Buffer[8];
    std::size_t Count = 0;
    do {
        Buffer[Count++] = Digits[Bits & 0xF];
        Bits >>= 4;
    } while (Bits != 0);
    while (Count > 0)
        Output += Buffer[--Count];
}

// The control words of notes.
enum TPartWordKind : std::uint8_t { pwMark, pwEndnote, pwAtEnd, pwTypes, pwNumbering };
struct TPartWord {
    std::string_view Keyword;
    TPartWordKind Kind;
    TNoteNumbering Field = nnFootnoteFormat;
    std::int32_t Format = -1; // the \levelnfc value a format word stands for; -1: a start number
};
// In keyword order, for the binary search.
constexpr TPartWord PartWords[] = {
    {"aftnnalc", pwNumbering, nnEndnoteFormat, 4},
    {"aftnnar", pwNumbering, nnEndnoteFormat, 0},
    {"aftnnauc", pwNumbering, nnEndnoteFormat, 3},
    {"aftnnrlc", pwNumbering, nnEndnoteFormat, 2},
    {"aftnnruc", pwNumbering, nnEndnoteFormat, 1},
    {"aftnstart", pwNumbering, nnEndnoteStart},
    {"chftn", pwMark},
    {"enddoc", pwAtEnd},
    {"endnotes", pwAtEnd},
    {"fet", pwTypes},
    {"ftnalt", pwEndnote},
    {"ftnnalc", pwNumbering, nnFootnoteFormat, 4},
    {"ftnnar", pwNumbering, nnFootnoteFormat, 0},
    {"ftnnauc", pwNumbering, nnFootnoteFormat, 3},
    {"ftnnrlc", pwNumbering, nnFootnoteFormat, 2},
    {"ftnnruc", pwNumbering, nnFootnoteFormat, 1},
    {"ftnstart", pwNumbering, nnFootnoteStart},
};

const TPartWord* FindPartWord(std::string_view Keyword) {
    // Every word above begins with one of these letters: most other words go without a search.
    if (Keyword.empty() || std::string_view("acef").find(Keyword.front()) == std::string_view::npos)
        return nullptr;
    const auto* Found =
        std::lower_bound(std::begin(PartWords), std::end(PartWords), Keyword,
                         [](const TPartWord& Word, std::string_view Key) { return Word.Keyword < Key; });
    return Found != std::end(PartWords) && Found->Keyword == Keyword ? Found : nullptr;
}

// The old-style numbering formats as the \levelnfc values they stand for.
struct TNumberingWord {
    std::string_view Keyword;
    std::int32_t Format;
};
constexpr TNumberingWord NumberingFormats[] = {
    {"pndec", 0}, {"pnucrm", 1}, {"pnlcrm", 2}, {"pnucltr", 3}, {"pnlcltr", 4},
};

// Every word one of the optional readers (tables, lists, notes and parts) takes, in some place or other.
bool IsStructureKeyword(std::string_view Keyword) {
    if (FindTableKeyword(Keyword) || FindPartWord(Keyword)) return true;
    if (Keyword == "ilvl" || Keyword == "levelstartat" || Keyword == "pnstart") return true;
    return std::any_of(std::begin(NumberingFormats), std::end(NumberingFormats),
                       [&](const TNumberingWord& Word) { return Word.Keyword == Keyword; });
}

} // namespace

const TTokenDef* FindKeyword(std::string_view Keyword) {
    // Short keywords the way the reader finds them amid the input, longer ones by their hash.
    if (Keyword.empty() || Keyword.size() > TKeywordIndex::ShortLength)
        return KeywordIndex().Find(Keyword.data(), Keyword.size());
    return KeywordIndex().FindShort(TKeywordIndex::PaddedShortKey(Keyword));
}

// ---------------------------------------------------------------------------------------------------

TCxReader::TCxReader(ICxReaderOwner& Owner, std::shared_ptr<ICxWriter> Writer,
                     std::unique_ptr<IUnicodeConverter> FontNameConverter)
    : FOwner(Owner), FWriter(std::move(Writer)), FUnicodeConverter(std::move(FontNameConverter)) {
    assert(FWriter && FUnicodeConverter);
    FStack.reserve(64);
    if (FOwner.GetConvertPictures()) {
        // Throws while no adapter is assigned, so the conversion stops before anything is read.
        FPictureAdapter = FOwner.GetPictureAdapter();
        if (FPictureAdapter) FPictureAdapter->Clear();
    }
    if (FOwner.GetConvertTables()) FTables = std::make_unique<TCxTableReader>(*FWriter, FColorTable);
    FLists = FOwner.GetConvertLists();
    FNotes = FOwner.GetConvertNotes();
    FHeadersFooters = FOwner.GetConvertHeadersFooters();
    FStructureReaders = FTables || FLists || FNotes || FHeadersFooters;
    KeywordIndex(); // built now rather than inside the first Parse
    FOwner.Log(logDebug, "CorvaneXHTMLReader created");
}

void TCxReader::Parse(std::string_view Rtf) {
    FInput = reinterpret_cast<const std::uint8_t*>(Rtf.data());
    FInputLength = Rtf.size();
    FPosition = 0;
    FHexCount = 0;
    FNonShapePicture = false;
    FPicture = nullptr;
    FPictureDepth = 0;
    FPictureHighDigit = -1;
    FEndOfDocument = false;
    FOwner.SetEndOfDocument(false);
    FFontOptions = FOwner.GetFontConversionOptions();
    FConvertIndent = FOwner.GetConvertIndent();
    FConvertFields = FOwner.GetConvertFields();
    FWarnedCodePage = false;
    FAnsiCodePageGiven = false;
    FFromHtml = FHtmlTagSeen = FHtmlRtf = false;
    FHtml.clear();
    FPartDepth = FSkippedPartDepth = FSkippedHiddenDepth = 0;
    FHeaderRank = FFooterRank = 3;
    FSectionEnded = FFootnotesAtEnd = FNoteTypesGiven = FSkippedPartText = false;

    // Read input goes back in steps large enough that the calls cost nothing next to the reading.
    constexpr std::size_t InputReleaseStep = 4 * 1024 * 1024;
    FNextInputRelease = FInputRelease ? InputReleaseStep : SIZE_MAX;
    while (FPosition < FInputLength && !FEndOfDocument) {
        if (FPosition >= FNextInputRelease) {
            FNextInputRelease = FPosition + InputReleaseStep;
            // Nothing before the current position is read again, but for the line breaks between the
            // group's "{" and a "\*" (StartsGroup).
            FInputRelease(std::min(FPosition, FGroupOpenedAt));
        }
        const std::size_t Position = FPosition;
        const std::uint8_t Byte = FInput[Position];
        switch (ByteClasses[Byte]) {
        case bcBackslash:
            ReadControlWord(Position);
            continue;
        case bcOpenGroup:
            OpenGroup();
            // Nearly every group starts with a control word: read at once, from the position in hand.
            FPosition = Position + 1;
            if (Position + 1 < FInputLength && FInput[Position + 1] == '\\') ReadControlWord(Position + 1);
            continue;
        case bcCloseGroup:
            CloseGroup();
            break;
        case bcLineBreak:
            break;
        default:
            if (FInputState == isHex) {
                TakeHexDigit(Byte);
                break;
            }
            if (InTextDestination()) {
                if (FPendingSkip <= 0) {
                    DeliverTextRun();
                    continue;
                }
            } else if (FDestination == dsPicture) {
                if (InPictureData())
                    TakePictureData();
                else
                    SkipPlainBytes();
                continue;
            } else if (FDestination == dsHtmlTag && CollectingHtml()) {
                if (FPendingSkip <= 0) {
                    DeliverHtmlTagRun();
                    continue;
                }
            } else if (!(FDestination == dsFontTable || FDestination == dsColorTable ||
                         FDestination == dsBookmarkStart ||
                         (FDestination == dsFieldInstruction && FConvertFields))) {
                SkipPlainBytes();
                continue;
            }
            DeliverByte(Byte);
            break;
        }
        ++FPosition;
    }
    // A part never closed ends with the input.
    if (FPartDepth > 0) EndPart();
    FlushPendingSurrogate();
}

// Plain bytes in a text destination with no fallback characters pending: straight to the writer.
void TCxReader::DeliverTextRun() {
    FlushPendingSurrogate();
    const std::size_t End = PlainRunEnd();
    const std::string_view Text(reinterpret_cast<const char*>(FInput) + FPosition, End - FPosition);
    FWriter->WriteChars(Text);
    if (CollectingHtmlText()) FHtmlTextDecoder.ConvertBytes(Text, FHtml);
    FPosition = End;
}

// Plain bytes of an \htmltag group while the encapsulated HTML is collected.
void TCxReader::DeliverHtmlTagRun() {
    const std::size_t End = PlainRunEnd();
    FHtmlTagDecoder.ConvertBytes(std::string_view(reinterpret_cast<const char*>(FInput) + FPosition, End - FPosition),
                                 FHtml);
    FPosition = End;
}

bool TCxReader::StartsGroup(std::size_t Backslash) const {
    // Line ends are no tokens: "{" CR LF "\*" still starts its group with \*.
    std::size_t Position = Backslash;
    while (Position > 0 && ByteClasses[FInput[Position - 1]] == bcLineBreak)
        --Position;
    return Position > 0 && Position - 1 == FGroupOpenedAt;
}

// Plain bytes in a destination that drops them.
void TCxReader::SkipPlainBytes() {
    const std::size_t Position = PlainRunEnd();
    if (FSkippedPartDepth > 0 && FSkippedHiddenDepth == 0 && !FSkippedPartText)
        FSkippedPartText =
            std::any_of(FInput + FPosition, FInput + Position, [](std::uint8_t Byte) { return Byte > ' '; });
    FPosition = Position;
}

// The end of the plain bytes that start at the current position: the next byte the main loop must see.
std::size_t TCxReader::PlainRunEnd() const {
    const char* const Input = reinterpret_cast<const char*>(FInput);
    return static_cast<std::size_t>(
        FindStop<srNone, '\\', '{', '}', '\n', '\r'>(Input + FPosition + 1, Input + FInputLength) - Input);
}

// Reads the control word or symbol after a backslash. Leaves the position on the byte after it (after
// the delimiting blank, which belongs to it), where the main loop goes on.
void TCxReader::ReadControlWord(std::size_t Backslash) {
    // Word processors write millions of short control words, most of them straight after another. One
    // whose letters and number lie in the sixteen bytes after the backslash is read from one load of
    // them, without a loop; the next one is read from where this one ends, not from the stored position.
    const TKeywordIndex& Index = KeywordIndex();
    for (;;) {
        const std::uint8_t* const Keyword = FInput + Backslash + 1;
        if (FInput + FInputLength - Keyword < 24) return ReadControlWordByBytes();
        const TControlWordMasks Masks = ControlWordMasks16(reinterpret_cast<const char*>(Keyword));
        const auto KeywordLength = static_cast<unsigned>(std::countr_one(Masks.Letters));
        if (KeywordLength == 0 || KeywordLength > TKeywordIndex::ShortLength) return ReadControlWordByBytes();
        const bool Negative = (Masks.Minus >> KeywordLength) & 1;
        const unsigned DigitsAt = KeywordLength + (Negative ? 1 : 0);
        const auto DigitCount = static_cast<unsigned>(std::countr_one(Masks.Digits >> DigitsAt));
        // A number that may go on past the sixteen bytes, or is too long for one load, is read byte by byte.
        if (DigitCount > MaxDigitsAtOnce || DigitsAt + DigitCount >= 16) return ReadControlWordByBytes();
        const unsigned WordEnd = DigitsAt + DigitCount;
        const std::size_t Next = Backslash + 1 + WordEnd + ((Masks.Blanks >> WordEnd) & 1);
        FPosition = Next;
        const std::string_view Word(reinterpret_cast<const char*>(Keyword), KeywordLength);
        const std::uint64_t Key = TKeywordIndex::ShortKey(Word.data(), Word.size());
        const TTokenDef* const Row = Index.FindShort(Key);
        if (Row == nullptr && (!FStructureReaders || NoStructureWord(Key))) {
            // Most words word processors write are unknown here: their number is never computed.
            SkipUnknownDestination();
        } else {
            const bool HasParameter = DigitCount > 0;
            std::int64_t Parameter =
                HasParameter ? static_cast<std::int64_t>(DigitsValue(Keyword + DigitsAt, DigitCount)) : 0;
            if (Negative) Parameter = -Parameter;
            if (Row != nullptr && Row->Kind == kwProperty) {
                // Most known words set a property: taken here, not two calls down, each saving registers.
                FSkipDestinationIfUnknown = false;
                SaveOpenGroups();
                ApplyProperty(Row->PropertyIndex, PropertyValue(*Row, HasParameter, Parameter));
            } else {
                TakeControlWord(Row, Word, Key, HasParameter, Parameter);
            }
        }
        // The main loop takes over where the word moved the reading (\bin), where other bytes follow, and
        // where read input is due to go back.
        if (FPosition != Next || FInput[Next] != '\\' || Next >= FNextInputRelease) return;
        Backslash = Next;
    }
}

// The same reading a byte at a time: control symbols, long words and numbers, and the input's last bytes.
void TCxReader::ReadControlWordByBytes() {
    // Local pointers: the position is stored once at the end instead of after every byte.
    const std::uint8_t* const End = FInput + FInputLength;
    const std::uint8_t* Next = FInput + FPosition + 1;
    if (Next == End || !IsControlWordLetter(*Next)) {
        FPosition = std::min(static_cast<std::size_t>(Next - FInput) + 1, FInputLength);
        const char Symbol = Next == End ? '\0' : static_cast<char>(*Next);
        if (const TTokenDef* Row = KeywordIndex().Find(&Symbol, 1)) {
            FSkipDestinationIfUnknown = false;
            Dispatch(*Row, false, 0);
        } else {
            SkipUnknownDestination();
        }
        return;
    }

    const std::uint8_t* const Keyword = Next;
    do
        ++Next;
    while (Next != End && IsControlWordLetter(*Next));
    const auto KeywordLength = static_cast<std::size_t>(Next - Keyword);

    bool Negative = false;
    if (Next != End && *Next == '-') {
        Negative = true;
        ++Next;
    }
    bool HasParameter = false;
    std::int64_t Parameter = 0;
    if (Next != End && IsDigit(*Next)) {
        HasParameter = true;
        const std::uint8_t* const Digits = Next;
        std::uint64_t Magnitude = 0;
        do {
            Magnitude = Magnitude * 10 + static_cast<unsigned>(*Next - '0');
            ++Next;
        } while (Next != End && IsDigit(*Next));
        // Eighteen digits always fit; only a longer number needs the careful reading.
        if (Next - Digits > 18) Magnitude = ParameterMagnitude(Digits, Next);
        Parameter = static_cast<std::int64_t>(Magnitude);
        if (Negative) Parameter = -Parameter;
    }
    const bool Blank = Next != End && *Next == ' ';
    FPosition = static_cast<std::size_t>(Next - FInput) + (Blank ? 1 : 0);

    const std::string_view Word(reinterpret_cast<const char*>(Keyword), KeywordLength);
    const bool Short = KeywordLength <= TKeywordIndex::ShortLength && End - Keyword >= 8;
    const std::uint64_t Key = Short ? TKeywordIndex::ShortKey(Word.data(), Word.size()) : 0;
    const TKeywordIndex& Index = KeywordIndex();
    TakeControlWord(Short ? Index.FindShort(Key) : Index.Find(Word.data(), Word.size()), Word, Key,
                    HasParameter, Parameter);
}

// Acts on a control word read: Row is its row of the keyword table, null for a word the table does not
// know; Key is its short key, 0 for a word that has none.
void TCxReader::TakeControlWord(const TTokenDef* Row, std::string_view Word, std::uint64_t Key,
                                bool HasParameter, std::int64_t Parameter) {
    if (Row != nullptr) {
        const TKeywordIndex& Index = KeywordIndex();
        FSkipDestinationIfUnknown = false;
        // \cell and \row are characters of the keyword table, and structure while tables are on.
        if (FTables && (Row == Index.CellRow() || Row == Index.RowRow())) {
            SaveOpenGroups();
            if (TakeTableKeyword(Word, HasParameter, Parameter)) return;
        }
        Dispatch(*Row, HasParameter, Parameter);
    } else if (!FStructureReaders) {
        SkipUnknownDestination();
    } else if (const TStructureWord* Known = KnownStructureWord(Key);
               Known != nullptr && Known->TableRow != nullptr) {
        // A table word met before is taken without looking it up again.
        SaveOpenGroups();
        if (!TakeTableKeyword(*Known->TableRow, HasParameter, Parameter)) SkipUnknownDestination();
    } else if (Known != nullptr || !TakeStructureKeyword(Word, Key, HasParameter, Parameter)) {
        SkipUnknownDestination();
    }
}

// The slot that holds the word with this short key or, when none does, the first free one of the few it
// may take; SIZE_MAX when they are all taken by other words. Slots are only ever filled, so a word's
// search ends at the first free one.
std::size_t TCxReader::StructureWordSlot(std::uint64_t Key) const {
    std::size_t Slot = TKeywordIndex::SlotOf(Key, StructureWordBits);
    for (std::size_t Probe = 0; Probe < StructureWordProbes;
         ++Probe, Slot = (Slot + 1) % FStructureWords.size())
        if (FStructureWords[Slot].Key == Key || FStructureWords[Slot].Key == 0) return Slot;
    return SIZE_MAX;
}

// Checked before the call, which costs more than the look-up for the many words word processors repeat.
const TCxReader::TStructureWord* TCxReader::KnownStructureWord(std::uint64_t Key) const {
    if (Key == 0) return nullptr;
    const std::size_t Slot = StructureWordSlot(Key);
    return Slot != SIZE_MAX && FStructureWords[Slot].Key == Key ? &FStructureWords[Slot] : nullptr;
}

void TCxReader::RememberStructureWord(std::uint64_t Key, const TTableKeyword* TableRow) {
    if (Key == 0) return;
    const std::size_t Found = StructureWordSlot(Key);
    // All taken: the word replaces the one in its own slot.
    const std::size_t Slot = Found != SIZE_MAX ? Found : TKeywordIndex::SlotOf(Key, StructureWordBits);
    FStructureWords[Slot] = {Key, TableRow};
}

bool TCxReader::NoStructureWord(std::uint64_t Key) const {
    const TStructureWord* const Known = KnownStructureWord(Key);
    return Known != nullptr && Known->TableRow == nullptr;
}

bool TCxReader::TakeStructureKeyword(std::string_view Keyword, std::uint64_t Key, bool HasParameter,
                                     std::int64_t Parameter) {
    SaveOpenGroups();
    // A table word is a word of no other reader.
    if (const TTableKeyword* TableRow = FindTableKeyword(Keyword)) {
        RememberStructureWord(Key, TableRow);
        return TakeTableKeyword(*TableRow, HasParameter, Parameter);
    }
    if ((FLists && TakeListKeyword(Keyword, Parameter)) || (FNotes && TakePartKeyword(Keyword, Parameter)))
        return true;
    if (Key != 0 && !IsStructureKeyword(Keyword)) RememberStructureWord(Key, nullptr);
    return false;
}

void TCxReader::SkipDestination() {
    HideSkippedPartText();
    FDestination = dsSkip;
    FSkipDestinationIfUnknown = false;
}

bool TCxReader::TakeTableKeyword(std::string_view Keyword, bool HasParameter, std::int64_t Parameter) {
    const TTableKeyword* Row = FindTableKeyword(Keyword);
    return Row != nullptr && TakeTableKeyword(*Row, HasParameter, Parameter);
}

bool TCxReader::TakeTableKeyword(const TTableKeyword& Row, bool HasParameter, std::int64_t Parameter) {
    if (!FTables || !InTextDestination()) return false;
    // Known: \*\nesttableprops is read, not skipped.
    FSkipDestinationIfUnknown = false;
    switch (Row.Kind) {
    case tkNoNestedTables:
        ChangeDestination(dsSkip);
        return true;
    case tkCell:
    case tkRow:
        // The paragraph ends here: a character waiting for its other half, or for fallback bytes that
        // belong to this cell, ends with it.
        FlushPendingSurrogate();
        FPendingSkip = 0;
        break;
    default:
        break;
    }
    FTables->Apply(Row, HasParameter, Parameter);
    return true;
}

bool TCxReader::TakeListKeyword(std::string_view Keyword, std::int64_t Parameter) {
    if (!FLists || FDiscarding) return false;
    const auto Value = static_cast<std::int32_t>(std::clamp<std::int64_t>(Parameter, 0, INT32_MAX));
    if (InTextDestination() && Keyword == "ilvl") {
        FWriter->SetListNumbering(lfLevel, Value);
    } else if (FDestination == dsListLevel && Keyword == "levelstartat") {
        FWriter->SetLevelStartAt(Value);
    } else if (FDestination == dsParagraphNumbering && Keyword == "pnstart") {
        FWriter->SetListNumbering(lfStart, Value);
    } else if (FDestination == dsParagraphNumbering) {
        const auto* Found = std::find_if(std::begin(NumberingFormats), std::end(NumberingFormats),
                                         [&](const TNumberingWord& Word) { return Word.Keyword == Keyword; });
        if (Found == std::end(NumberingFormats)) return false;
        FWriter->SetListNumbering(lfFormat, Found->Format);
    } else {
        return false;
    }
    FSkipDestinationIfUnknown = false;
    return true;
}

bool TCxReader::TakePartKeyword(std::string_view Keyword, std::int64_t Parameter) {
    if (FDiscarding) return false;
    const TPartWord* Found = FindPartWord(Keyword);
    if (Found == nullptr) return false;
    switch (Found->Kind) {
    case pwMark:
        if (FNotes && InTextDestination()) FWriter->WriteNoteMark();
        break;
    case pwEndnote:
        if (FNotes && FPartDepth > 0) FWriter->SetEndnote();
        break;
    case pwAtEnd:
        FFootnotesAtEnd = true;
        break;
    case pwTypes:
        FNoteTypesGiven = true;
        break;
    case pwNumbering: {
        const auto Start = static_cast<std::int32_t>(std::clamp<std::int64_t>(Parameter, 1, INT32_MAX));
        if (FNotes) FWriter->SetNoteNumbering(Found->Field, Found->Format >= 0 ? Found->Format : Start);
        break;
    }
    }
    FSkipDestinationIfUnknown = false;
    return true;
}

void TCxReader::TakeSectionBreak() {
    if (FDiscarding || FPartDepth != 0 || !InTextDestination()) return;
    // Headers and footers after the first section break belong to later sections.
    FSectionEnded = true;
    FlushPendingSurrogate();
    FWriter->EndSection();
}

void TCxReader::EnterPart(TDestination Part, std::string_view Keyword) {
    // A part in hidden text is hidden too: it leaves no reference in the body.
    const bool Readable = !FDiscarding && FPartDepth == 0 && InTextDestination() && !FWriter->GetHidden();
    if (Part == dsFootnote) {
        if (Readable && FNotes) {
            BeginPart(FFootnotesAtEnd && !FNoteTypesGiven ? dpEndnote : dpFootnote);
            return;
        }
    } else if (FHeadersFooters) {
        // Of the first section's headers, the one that most pages carry: that of every page (or of the
        // right-hand ones), then the left-hand pages', then the first page's.
        const std::uint8_t Rank = Keyword.back() == 'l' ? 1 : Keyword.back() == 'f' ? 2 : 0;
        std::uint8_t& Best = Part == dsHeader ? FHeaderRank : FFooterRank;
        if (Readable && !FSectionEnded && Rank < Best) {
            Best = Rank;
            BeginPart(Part == dsHeader ? dpHeader : dpFooter);
            return;
        }
    } else if (!FDiscarding) {
        // Left out, it is still looked through for text: a document that has nothing else then says why.
        FSkippedPartDepth = FGroupDepth;
    }
    ChangeDestination(dsSkip);
}

void TCxReader::BeginPart(TDocumentPart Part) {
    // What the body still owes it (half a character, fallback bytes) stays with the body.
    FlushPendingSurrogate();
    FPendingSkip = 0;
    FWriter->BeginPart(Part);
    FPartDepth = FGroupDepth;
    FDestination = dsNormal;
    // A part's tables are tables of their own.
    if (FTables) {
        FBodyTables = std::move(FTables);
        FTables = std::make_unique<TCxTableReader>(*FWriter, FColorTable);
    }
}

void TCxReader::EndPart() {
    FlushPendingSurrogate();
    FPendingSkip = 0;
    FWriter->EndPart();
    FPartDepth = 0;
    if (FBodyTables) FTables = std::move(FBodyTables);
}

void TCxReader::HideSkippedPartText() {
    if (FSkippedPartDepth > 0 && FSkippedHiddenDepth == 0) FSkippedHiddenDepth = FGroupDepth;
}

void TCxReader::Dispatch(const TTokenDef& Row, bool HasParameter, std::int64_t Parameter) {
    SaveOpenGroups();
    switch (Row.Kind) {
    case kwCharacter:
        DeliverByte(Row.CharCode);
        break;
    case kwDestination:
        if (Row.DestinationIndex == dsFootnote || Row.DestinationIndex == dsHeader ||
            Row.DestinationIndex == dsFooter)
            EnterPart(Row.DestinationIndex, Row.Keyword);
        else
            ChangeDestination(Row.DestinationIndex);
        break;
    case kwProperty:
        ApplyProperty(Row.PropertyIndex, PropertyValue(Row, HasParameter, Parameter));
        break;
    case kwSpecial:
        RunSpecial(Row.SpecialIndex, HasParameter, Parameter);
        break;
    case kwFontFamily:
        FFontFamily = Row.FontFamily;
        break;
    default:
        throw ECxError("Bad table (2)");
    }
}

void TCxReader::TakeHexDigit(std::uint8_t Byte) {
    FHexPair[FHexCount++] = static_cast<char>(Byte);
    if (FHexCount < 2) return;
    FHexCount = 0;
    FInputState = isNormal;
    const int High = HexValue(FHexPair[0]);
    const int Low = HexValue(FHexPair[1]);
    if (High < 0 || Low < 0) throw ECxError("ceUnknownCharacter");
    try {
        DeliverByte(static_cast<std::uint8_t>(High * 16 + Low));
    } catch (const std::exception&) {
        throw ECxError("ceUnknownCharacter");
    }
}

void TCxReader::DeliverByte(std::uint8_t Byte) {
    switch (FDestination) {
    case dsNormal:
    case dsFieldResult:
        if (FPendingSkip > 0) {
            --FPendingSkip;
            return;
        }
        FlushPendingSurrogate();
        FWriter->WriteChar(Byte);
        if (CollectingHtmlText()) AppendHtmlTextByte(Byte, FHtmlTextDecoder);
        return;
    case dsHtmlTag:
        if (!CollectingHtml()) return;
        if (FPendingSkip > 0) {
            --FPendingSkip;
            return;
        }
        FlushPendingSurrogate();
        AppendHtmlTextByte(Byte, FHtmlTagDecoder);
        return;
    case dsFontTable:
        FUnicodeConverter->Convert(Byte, FFontName);
        return;
    case dsColorTable:
        if (Byte == ';') CompleteColorEntry();
        return;
    case dsBookmarkStart:
        FDefaultCodePage.Convert(Byte, FBookmarkName);
        return;
    case dsFieldInstruction:
        if (FConvertFields) FDefaultCodePage.Convert(Byte, FFieldInstruction);
        return;
    case dsPicture:
        if (InPictureData()) TakePictureDigit(Byte);
        return;
    default:
        // Every other destination drops its text.
        if (FSkippedPartDepth > 0 && FSkippedHiddenDepth == 0 && Byte > ' ') FSkippedPartText = true;
        return;
    }
}

void TCxReader::AppendHtmlTextByte(std::uint8_t Byte, TUnicodeConverter& Decoder) {
    if (Byte == '\n') // \par
        FHtml += "\r\n";
    else
        Decoder.Convert(Byte, FHtml);
}

// ---------------------------------------------------------------------------------------------------
// Groups.

void TCxReader::OpenGroup() {
    if (FStackDepth >= MaxGroupDepth) throw ECxError("Property stack overflow");
    try {
        // Entries stay when their groups close, so the next group at that depth saves its properties
        // into strings that already have room for them.
        if (FStackDepth == FStack.size()) FStack.emplace_back();
        TGroupState& Saved = FStack[FStackDepth];
        Saved.Properties.InputState = FInputState;
        Saved.Properties.Destination = FDestination;
        Saved.Discarding = FDiscarding;
        Saved.HtmlRtf = FHtmlRtf;
    } catch (const std::bad_alloc&) {
        throw ECxError("Property stack overflow");
    }
    ++FStackDepth;
    // The writer's properties are saved before the group's first control word that may change them.
    FInputState = isNormal;
    FGroupOpenedAt = FPosition;
    ++FGroupDepth;
}

void TCxReader::SaveUnsavedGroups() {
    // Nothing has changed the writer's properties since the first of these groups opened: each saves
    // the same.
    try {
        for (; FUnsavedFrom < FStackDepth; ++FUnsavedFrom) {
            TReaderProperties& Saved = FStack[FUnsavedFrom].Properties;
            FWriter->SaveProperties(Saved.CharacterProperties, Saved.ParagraphProperties);
        }
    } catch (const std::bad_alloc&) {
        throw ECxError("Property stack overflow");
    }
}

void TCxReader::CloseGroup() {
    --FGroupDepth;
    const TDestination Closing = FDestination;

    if (FGroupDepth == 0) {
        // The outermost group has closed: whatever follows it is not part of the document.
        FEndOfDocument = true;
        FOwner.SetEndOfDocument(true);
    } else if (Closing == dsFontTable && FGroupDepth == 1) {
        CompleteFontEntry(); // a table written without entry groups
        CompleteFontTable();
    } else if (Closing == dsFontTable && FGroupDepth == 2) {
        CompleteFontEntry();
    }

    switch (Closing) {
    case dsBookmarkStart:
        FWriter->SetAnchor(FBookmarkName);
        FBookmarkName.clear();
        break;
    case dsField:
        FFieldInstruction.clear();
        // Text after the field must not join the run that carries its instruction. When the result
        // ended in a formatting group, the last run is already empty but carries the instruction given
        // at the result's end; it must lose it.
        if (FConvertFields) {
            FWriter->StartTextRun();
            FWriter->SetFieldInstruction(std::string());
        }
        break;
    case dsFieldResult:
        if (FConvertFields) FWriter->SetFieldInstruction(FFieldInstruction);
        break;
    default:
        break;
    }
    // Only the group that entered \pict ends the picture; groups nested in it (ids, shape properties)
    // close first.
    if (FPicture != nullptr && FGroupDepth < FPictureDepth) FinishPicture();
    // The part ends before the body's properties come back, so that they reach the body's tree.
    if (FPartDepth > 0 && FGroupDepth < FPartDepth) EndPart();
    if (FGroupDepth < FSkippedHiddenDepth) FSkippedHiddenDepth = 0;
    if (FGroupDepth < FSkippedPartDepth) FSkippedPartDepth = 0;

    if (FGroupDepth > 0 && FStackDepth > 0) {
        const TGroupState& Saved = FStack[FStackDepth - 1];
        // A group that never saved the writer's properties has not changed them either, nor the
        // character set of the encapsulated HTML, which changes with them.
        if (FStackDepth - 1 < FUnsavedFrom) {
            FWriter->SetCharacterProperties(Saved.Properties.CharacterProperties);
            FWriter->SetParagraphProperties(Saved.Properties.ParagraphProperties);
            if (FExtractHtml) FHtmlTextDecoder.SetCharset(Saved.Properties.CharacterProperties.Charset);
        }
        if (FWriter->GetNumbering()) FWriter->SetListItem(true);
        FInputState = Saved.Properties.InputState;
        FDestination = Saved.Properties.Destination;
        FDiscarding = Saved.Discarding;
        FHtmlRtf = Saved.HtmlRtf;
        --FStackDepth;
        FUnsavedFrom = std::min(FUnsavedFrom, FStackDepth);
    }

    if (FGroupDepth == 1 && Closing == dsFontTable) {
        FWriter->SetFontName(FWriter->GetDefaultFontName());
        UseDefaultFontCharset();
    }
}

// ---------------------------------------------------------------------------------------------------
// Keyword kinds.

void TCxReader::ChangeDestination(TDestination Destination) {
    // Inside headers, footers, footnotes and the like nothing may lead text back into the body.
    if (FDiscarding) {
        if (Destination != dsField && Destination != dsFieldResult) HideSkippedPartText();
        return;
    }
    switch (Destination) {
    case dsSkip:
        FDiscarding = true;
        break;
    case dsParagraphNumbering:
        FWriter->SetNumbering(true);
        break;
    case dsList:
        FWriter->AddListTable();
        break;
    case dsListOverride:
        FWriter->AddListOverride();
        break;
    case dsListLevel:
        FWriter->AddListLevel();
        break;
    case dsPicture:
        StartPicture();
        break;
    case dsFieldResult:
        // A field result is a run of its own: the text before the field is not part of the link.
        if (FConvertFields) FWriter->StartTextRun();
        break;
    case dsHtmlTag:
        if (CollectingHtml()) FHtmlTagSeen = true;
        break;
    default:
        break;
    }
    FDestination = Destination;
}

void TCxReader::ApplyProperty(TPropertyIndex Property, std::int64_t Value) {
    // Nearly every property is one of the text's: tested first, ahead of the jump on the destination.
    if (InTextDestination()) {
        ApplyTextProperty(Property, Value);
        return;
    }
    switch (FDestination) {
    case dsFontTable:
        if (Property == ipFont) {
            if (FFontOptions.Contains(opFontName)) FFontNumber = static_cast<std::int32_t>(Value);
        } else if (Property == ipCharset) {
            FFontCharset = static_cast<std::int32_t>(Value);
            FUnicodeConverter->SetCharset(FFontCharset);
        }
        break;
    case dsColorTable:
        if (Property == ipRed) FRed = static_cast<std::int32_t>(Value);
        if (Property == ipGreen) FGreen = static_cast<std::int32_t>(Value);
        if (Property == ipBlue) FBlue = static_cast<std::int32_t>(Value);
        break;
    case dsParagraphNumbering:
        if (Property == ipNumberingLevel) FWriter->SetListStyle(static_cast<std::uint8_t>(Value));
        if (Property == ipNumberingContinue) FWriter->SetNumbering(false);
        break;
    case dsList:
    case dsListOverride:
    case dsListLevel:
        ApplyListProperty(Property, Value);
        break;
    case dsHtmlTag:
        if (Property == ipUnicodeChar && CollectingHtml()) UnicodeCharacter(Value);
        break;
    case dsPicture:
        if (InPictureData()) ApplyPictureProperty(Property, Value);
        break;
    default:
        break; // dsSkip and the other destinations ignore properties
    }
}

void TCxReader::ApplyListProperty(TPropertyIndex Property, std::int64_t Value) {
    const auto Number = static_cast<std::int32_t>(Value);
    if (FDestination == dsList) {
        if (Property == ipListId) FWriter->SetListId(Number);
        if (Property == ipListTemplateId) FWriter->SetListTemplateId(Number);
    } else if (FDestination == dsListOverride) {
        if (Property == ipListId) FWriter->SetListOverrideListId(Number);
        if (Property == ipListOverride) FWriter->SetListOverrideNumber(Number);
    } else if (Property == ipLevelNfc) {
        FWriter->SetLevelNumberFormat(Number);
    }
}

void TCxReader::ApplyTextProperty(TPropertyIndex Property, std::int64_t Value) {
    ICxWriter& Writer = *FWriter;
    const auto Low32 = static_cast<std::int32_t>(Value);
    switch (Property) {
    case ipAnsi:
        Writer.SetDefaultCharset(FAnsiCodePageGiven ? DocumentCharset : 0);
        break;
    case ipMac:
        Writer.SetDefaultCharset(77);
        break;
    case ipLeftIndent:
        if (FConvertIndent && !Writer.GetNumbering()) Writer.SetLeftIndent(Low32);
        break;
    case ipRightIndent:
        if (FConvertIndent && !Writer.GetNumbering()) Writer.SetRightIndent(Low32);
        break;
    case ipFirstIndent:
        if (FConvertIndent && !Writer.GetNumbering()) Writer.SetFirstIndent(Low32);
        break;
    case ipSpaceBefore:
        Writer.SetSpaceBefore(Low32);
        break;
    case ipSpaceAfter:
        Writer.SetSpaceAfter(Low32);
        break;
    case ipParagraphShading:
        SelectParagraphColor(Value);
        break;
    case ipBox:
        Writer.SetBorder(true);
        break;
    case ipBold:
        ChangeFontStyle(fsBold, Value);
        break;
    case ipItalic:
        ChangeFontStyle(fsItalic, Value);
        break;
    case ipUnderline:
        ChangeFontStyle(fsUnderline, Value);
        break;
    case ipStrike:
        ChangeFontStyle(fsStrikeOut, Value);
        break;
    case ipHidden:
        Writer.SetHidden(Value == 1);
        break;
    case ipAlignLeft:
        Writer.SetAlignment(0);
        break;
    case ipAlignRight:
        Writer.SetAlignment(1);
        break;
    case ipAlignCenter:
        Writer.SetAlignment(2);
        break;
    case ipAlignJustify:
        Writer.SetAlignment(3);
        break;
    case ipParagraphDefault:
        Writer.ResetParagraphProperties();
        break;
    case ipFontSize:
        if (FFontOptions.Contains(opFontSize)) Writer.SetFontSize(static_cast<std::int32_t>(Value / 2));
        break;
    case ipFont: {
        if (FFontOptions.Contains(opFontName)) Writer.SetFontName(FontName(Low32));
        const std::int32_t Charset = FontCharset(Low32);
        Writer.SetFontCharset(Charset);
        FHtmlTextDecoder.SetCharset(Charset);
        break;
    }
    case ipForeColor:
        if (FFontOptions.Contains(opFontColor)) SelectFontColor(Value);
        break;
    case ipBackColor:
        if (FFontOptions.Contains(opFontBGColor)) SelectBackgroundColor(Value, false);
        break;
    case ipHighlight:
        if (FFontOptions.Contains(opFontHLColor)) SelectBackgroundColor(Value, true);
        break;
    case ipDefaultFont:
        FDefaultFont = Low32;
        break;
    case ipSuperscript:
        Writer.SetSubscript(false);
        Writer.SetSuperscript(Value > 0);
        break;
    case ipSubscript:
        Writer.SetSuperscript(false);
        Writer.SetSubscript(Value > 0);
        break;
    case ipNoSuperSub:
        Writer.SetSuperscript(false);
        Writer.SetSubscript(false);
        break;
    case ipLanguage:
        Writer.SetLanguage(LanguageCode(Value));
        break;
    case ipLtrChar:
        Writer.SetRightToLeft(false);
        break;
    case ipRtlChar:
        Writer.SetRightToLeft(true);
        break;
    case ipLtrPar:
        Writer.SetParagraphRightToLeft(false);
        break;
    case ipRtlPar:
        Writer.SetParagraphRightToLeft(true);
        break;
    case ipUnicodeChar:
        UnicodeCharacter(Value);
        break;
    case ipUnicodeSkip:
        FUnicodeSkip = Low32;
        break;
    case ipListOverride:
        Writer.SetListItem(true);
        if (Writer.IsBulletList(Low32)) Writer.SetListStyle(11);
        if (FLists) Writer.SetListNumbering(lfOverride, Low32);
        break;
    case ipAnsiCodePage:
        SetAnsiCodePage(Value);
        break;
    case ipFromHtml:
        FFromHtml = Value != 0;
        break;
    case ipHtmlRtf:
        FHtmlRtf = Value != 0;
        break;
    default:
        break;
    }
}

void TCxReader::ChangeFontStyle(TFontStyle Style, std::int64_t Value) {
    if (!FFontOptions.Contains(opFontStyle)) return;
    TFontStyles Styles = FWriter->GetFontStyle();
    Styles = static_cast<TFontStyles>(Value == 1 ? (Styles | Style) : (Styles & ~Style));
    FWriter->SetFontStyle(Styles);
}

void TCxReader::RunSpecial(TSpecialAction Action, bool HasParameter, std::int64_t Parameter) {
    // Binary data must be taken even where it is dropped, or its bytes would be read as RTF; \* still
    // tells which groups of a dropped header show no text.
    if (FDestination == dsSkip && Action != spBinary && Action != spSkipDestination) return;
    switch (Action) {
    case spBinary:
        TakeBinary(HasParameter ? Parameter : 0);
        break;
    case spHexByte:
        FInputState = isHex;
        FHexCount = 0;
        break;
    case spSkipDestination:
        // Anywhere but at the start of a group \* marks nothing; the position is after the "*".
        FSkipDestinationIfUnknown = StartsGroup(FPosition - 2);
        break;
    case spPlain:
        FWriter->ResetCharacterProperties();
        UseDefaultFontCharset();
        break;
    case spSkipText:
        SkipText();
        break;
    case spLineBreak:
        // A line break is text: destinations that drop their text drop it too.
        if (!InTextDestination()) break;
        FlushPendingSurrogate();
        FWriter->GetDocument()->AppendMarkup(FOwner.GetLineBreak());
        FWriter->StartTextRun();
        break;
    case spBullet:
        if (!InTextDestination()) break;
        AppendCodePoint(U'\u00B7');
        break;
    case spNonShapePicture:
        FNonShapePicture = true;
        break;
    case spSectionBreak:
        TakeSectionBreak();
        break;
    default:
        throw ECxError("Bad table (1)");
    }
}

// Table-width keywords are followed by text that is not document text: drop it up to the next control
// word, but never across a group boundary.
void TCxReader::SkipText() {
    std::size_t Position = FPosition;
    while (Position < FInputLength && ByteClasses[FInput[Position]] != bcBackslash &&
           ByteClasses[FInput[Position]] != bcOpenGroup && ByteClasses[FInput[Position]] != bcCloseGroup)
        ++Position;
    FPosition = Position;
}

// \binN: exactly the next N raw bytes, never past the end of the input, whatever they contain.
void TCxReader::TakeBinary(std::int64_t Count) {
    const std::size_t Start = std::min(FPosition, FInputLength);
    const std::size_t Available = FInputLength - Start;
    const std::size_t Taken =
        Count <= 0
            ? 0
            : static_cast<std::size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(Count), Available));
    if (FDestination == dsPicture)
        TakeBinaryPictureData(std::string_view(reinterpret_cast<const char*>(FInput) + Start, Taken));
    FPosition = Start + Taken;
}

// ---------------------------------------------------------------------------------------------------
// Pictures.

void TCxReader::StartPicture() {
    if (!FPictureAdapter) return;
    // A \pict inside a picture still being read starts nothing: the adapter has one current picture,
    // and the outer one would be lost unfinished.
    if (FPicture != nullptr) return;
    FPicture = FPictureAdapter->NewPicture();
    assert(FPicture != nullptr);
    // After \nonshppict the picture is an alternative for readers without shapes: kept, not shown.
    FPicture->SetShow(!FNonShapePicture);
    FNonShapePicture = false;
    FPictureDepth = FGroupDepth;
    FPictureHighDigit = -1;
}

void TCxReader::ApplyPictureProperty(TPropertyIndex Property, std::int64_t Value) {
    TEmbeddedPicture& Picture = *FPicture;
    const auto Low32 = static_cast<std::int32_t>(Value);
    switch (Property) {
    case ipEmfBlip:
        Picture.SetPictureType(ptEMF);
        break;
    case ipPngBlip:
        Picture.SetPictureType(ptPNG);
        break;
    case ipJpegBlip:
        Picture.SetPictureType(ptJPEG);
        break;
    case ipMacPict:
        Picture.SetPictureType(ptPICT);
        break;
    case ipWmetafile:
        Picture.SetPictureType(ptWMF);
        Picture.SetMappingMode(static_cast<std::uint8_t>(Value));
        break;
    case ipPicWidth:
        Picture.SetPicWidth(Low32);
        break;
    case ipPicHeight:
        Picture.SetPicHeight(Low32);
        break;
    case ipPicGoalWidth:
        Picture.SetGoalWidth(Low32);
        break;
    case ipPicGoalHeight:
        Picture.SetGoalHeight(Low32);
        break;
    case ipPicScaleX:
        Picture.SetScaleX(Low32);
        break;
    case ipPicScaleY:
        Picture.SetScaleY(Low32);
        break;
    default:
        break;
    }
}

// Plain bytes of the picture's own group, from the current one up to the next control word or group
// boundary: hexadecimal digit pairs decoded straight from the input, blanks and line breaks skipped.
// Leaves the position on the byte that ended the data.
void TCxReader::TakePictureData() {
    const std::uint8_t* const Start = FInput + FPosition;
    const std::uint8_t* const End = FInput + FInputLength;
    const std::uint8_t* Stop = Start;
    while (Stop != End && PictureDigits[*Stop] != PictureInvalid)
        ++Stop;
    if (Stop != End && ByteClasses[*Stop] == bcPlain) throw ECxError("Invalid picture data");

    TEmbeddedPicture& Picture = *FPicture;
    TByteStream& Data = Picture.GetData();
    Data.Reserve(Data.Size() + static_cast<std::size_t>(Stop - Start) / 2 + 1);
    int High = FPictureHighDigit;
    for (const std::uint8_t* Byte = Start; Byte != Stop; ++Byte) {
        const std::uint8_t Digit = PictureDigits[*Byte];
        if (Digit == PictureSkip) continue;
        if (High < 0) {
            High = Digit;
        } else {
            Picture.AppendByte(static_cast<std::uint8_t>(High << 4 | Digit));
            High = -1;
        }
    }
    FPictureHighDigit = High;
    FPosition = static_cast<std::size_t>(Stop - FInput);
}

// One byte delivered by a control word (\'hh, \tab, ...) inside the picture's data.
void TCxReader::TakePictureDigit(std::uint8_t Byte) {
    const std::uint8_t Digit = PictureDigits[Byte];
    if (Digit == PictureSkip) return;
    if (Digit == PictureInvalid) throw ECxError("Invalid picture data");
    if (FPictureHighDigit < 0) {
        FPictureHighDigit = Digit;
    } else {
        FPicture->AppendByte(static_cast<std::uint8_t>(FPictureHighDigit << 4 | Digit));
        FPictureHighDigit = -1;
    }
}

// \binN inside the picture's own group: the bytes are the picture's, as they are.
void TCxReader::TakeBinaryPictureData(std::string_view Bytes) {
    if (!InPictureData()) return;
    FPicture->GetData().Write(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
}

void TCxReader::FinishPicture() {
    FPicture = nullptr;
    FPictureDepth = 0;
    FPictureHighDigit = -1; // an odd last digit makes no byte
    FPictureAdapter->FinishPicture();
    const TEmbeddedPicture* const Picture = FPictureAdapter->GetPicture();
    if (Picture == nullptr || !Picture->GetShow()) return;
    FlushPendingSurrogate();
    FWriter->GetDocument()->AppendMarkup(FPictureAdapter->GetImageTag());
    // The run after the markup starts with no formatting; as after a line break, the text that follows
    // the picture keeps the formatting in force.
    FWriter->StartTextRun();
}

// ---------------------------------------------------------------------------------------------------
// \u: UTF-16 code units, a surrogate pair joined into one character, an unpaired half replaced.

void TCxReader::UnicodeCharacter(std::int64_t Value) {
    const std::int64_t Unit = Value > 0 ? Value : Value + 65536;
    const auto CodeUnit = static_cast<char16_t>(static_cast<std::uint64_t>(Unit) & 0xFFFF);
    if (CodeUnit >= 0xD800 && CodeUnit <= 0xDBFF) {
        FlushPendingSurrogate();
        FPendingHighSurrogate = CodeUnit; // waits for its low half, after the fallback characters
    } else if (CodeUnit >= 0xDC00 && CodeUnit <= 0xDFFF) {
        if (FPendingHighSurrogate != 0) {
            const char32_t CodePoint = 0x10000 +
                                       ((static_cast<char32_t>(FPendingHighSurrogate) - 0xD800) << 10) +
                                       (CodeUnit - 0xDC00);
            FPendingHighSurrogate = 0;
            AppendCodePoint(CodePoint);
        } else {
            AppendCodePoint(0xFFFD);
        }
    } else {
        AppendCodePoint(CodeUnit);
    }
    FPendingSkip = FUnicodeSkip;
}

void TCxReader::FlushPendingSurrogate() {
    if (FPendingHighSurrogate == 0) return;
    FPendingHighSurrogate = 0;
    AppendCodePoint(0xFFFD);
}

void TCxReader::AppendCodePoint(char32_t CodePoint) {
    // A high surrogate still waiting is unpaired once anything else is written.
    if (FPendingHighSurrogate != 0) FlushPendingSurrogate();
    std::string Text;
    AppendUtf8(CodePoint, Text);
    if (FDestination == dsHtmlTag) {
        FHtml += Text;
        return;
    }
    if (CollectingHtmlText()) FHtml += Text;
    FWriter->GetDocument()->AppendText(Text);
}

// ---------------------------------------------------------------------------------------------------
// Font table.

void TCxReader::CompleteFontEntry() {
    std::string& Name = FFontName;
    if (const std::size_t Semicolon = Name.find(';'); Semicolon != std::string::npos) Name.erase(Semicolon);
    // Braces, quotes, backslashes and comment openers have no place in a font name. Removed, a name
    // cannot break out of a style attribute, nor open a CSS string, escape or comment that would swallow
    // the declarations after it; names that are not one CSS identifier are quoted below, and only those
    // quotes remain. One pass, so that a name of a million stars after a slash costs no more than any other.
    std::size_t Kept = 0;
    for (const char Character : Name) {
        const bool Forbidden = Character == '{' || Character == '}' || Character == '\'' ||
                               Character == '"' || Character == '\\';
        const bool OpensComment = Character == '*' && Kept > 0 && Name[Kept - 1] == '/';
        if (!Forbidden && !OpensComment) Name[Kept++] = Character;
    }
    Name.resize(Kept);
    TrimBlanksAndControls(Name);
    // An entry without a name stores nothing, so an empty table stays empty.
    if (!Name.empty()) {
        const std::string Original = Name;
        FOwner.ReplaceFont(Name);
        // A replacement is the caller's own font-family list, kept as given unless it has a blank.
        const bool Replaced = Name != Original;
        if (Name.find(' ') != std::string::npos || (!Replaced && !IsCssIdentifier(Name)))
            Name = "'" + Name + "'";
        Name += GenericFamily(FFontFamily);
        FFontTable.try_emplace(FFontNumber, TFontDescriptor{Name, FFontCharset});
    }
    FFontName.clear();
    FFontFamily = ffNil;
    FFontCharset = FWriter->GetDefaultCharset();
}

void TCxReader::CompleteFontTable() {
    if (FFontTable.empty()) {
        FOwner.Log(logWarning, "Font table is empty");
        FFontTable.try_emplace(0, TFontDescriptor{FOwner.GetOptionsOptimize().DefaultFontName(), 0});
    } else {
        for (auto& Entry : FFontTable)
            FOwner.ReplaceFont(Entry.second.Name);
    }
    FWriter->SetDefaultFontName(FontName(FDefaultFont));
}

const std::string& TCxReader::FontName(std::int32_t Number) {
    const auto Entry = FFontTable.find(Number);
    if (Entry != FFontTable.end()) return Entry->second.Name;
    FOwner.Log(logWarning, "Font " + std::to_string(Number) + " not found");
    return FOwner.GetOptionsOptimize().DefaultFontName();
}

void TCxReader::UseDefaultFontCharset() {
    const std::int32_t Charset = FontCharset(FDefaultFont);
    FWriter->SetFontCharset(Charset);
    FHtmlTextDecoder.SetCharset(Charset);
}

void TCxReader::SetAnsiCodePage(std::int64_t Value) {
    // Code page 0 is the platform's default, which is 1252 here. A page without a decoder changes
    // nothing: the text decodes as it would without \ansicpg (1252 in an \ansi document).
    const bool Known =
        Value > 0 && Value <= 65535 && TUnicodeConverter::IsKnownCodePage(static_cast<std::int32_t>(Value));
    if (!Known && Value != 0) {
        if (!FWarnedCodePage)
            FOwner.Log(logWarning, "Code page " + std::to_string(Value) + " is not supported; 1252 is used");
        FWarnedCodePage = true;
        return;
    }
    const std::int32_t CodePage = Known ? static_cast<std::int32_t>(Value) : 1252;
    // Fonts without a \fcharset, and text in no font, take the document's code page from now on.
    FAnsiCodePageGiven = true;
    FWriter->SetDefaultCharset(DocumentCharset);
    FFontCharset = DocumentCharset;
    FWriter->SetAnsiCodePage(CodePage);
    for (IUnicodeConverter* Decoder : {static_cast<IUnicodeConverter*>(FUnicodeConverter.get()),
                                       static_cast<IUnicodeConverter*>(&FDefaultCodePage),
                                       static_cast<IUnicodeConverter*>(&FHtmlTextDecoder),
                                       static_cast<IUnicodeConverter*>(&FHtmlTagDecoder)}) {
        Decoder->SetAnsiCodePage(CodePage);
        Decoder->SetCharset(DocumentCharset);
    }
}

std::int32_t TCxReader::FontCharset(std::int32_t Number) const {
    const auto Entry = FFontTable.find(Number);
    return Entry != FFontTable.end() ? Entry->second.Charset : FWriter->GetDefaultCharset();
}

// ---------------------------------------------------------------------------------------------------
// Colour table.

void TCxReader::CompleteColorEntry() {
    std::string Color = "#";
    AppendColorComponent(FRed, Color);
    AppendColorComponent(FGreen, Color);
    AppendColorComponent(FBlue, Color);
    FColorTable.push_back(std::move(Color));
    FRed = FGreen = FBlue = 0;
}

bool TCxReader::ColorInTable(std::int64_t Index) const {
    return Index >= 0 && static_cast<std::uint64_t>(Index) < FColorTable.size();
}

void TCxReader::LogColorNotFound(std::int64_t Index) {
    FOwner.Log(logWarning, "Color " + std::to_string(Index) + " not found");
}

void TCxReader::SelectFontColor(std::int64_t Index) {
    if (FColorTable.empty()) {
        FWriter->SetFontColor(FOwner.GetOptionsOptimize().DefaultFontColor());
    } else if (Index == 0) {
        FWriter->SetFontColor(FColorTable[0]);
    } else if (!ColorInTable(Index)) {
        LogColorNotFound(Index);
        FWriter->SetFontColor(FOwner.GetOptionsOptimize().DefaultFontColor());
    } else {
        FWriter->SetFontColor(FColorTable[static_cast<std::size_t>(Index)]);
    }
}

// Background and highlight: 0 and an empty table mean no colour.
void TCxReader::SelectBackgroundColor(std::int64_t Index, bool Highlight) {
    static const std::string None;
    const std::string* Color = &None;
    if (!FColorTable.empty() && Index != 0) {
        if (ColorInTable(Index))
            Color = &FColorTable[static_cast<std::size_t>(Index)];
        else
            LogColorNotFound(Index);
    }
    if (Highlight)
        FWriter->SetHighlightColor(*Color);
    else
        FWriter->SetBackgroundColor(*Color);
}

void TCxReader::SelectParagraphColor(std::int64_t Index) {
    if (ColorInTable(Index)) {
        FWriter->SetParagraphColor(FColorTable[static_cast<std::size_t>(Index)]);
    } else {
        LogColorNotFound(Index);
        FWriter->SetParagraphColor("");
    }
}

} // namespace corvane
