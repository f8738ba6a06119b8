#include "CxLinkURIBuilder.h"

#include "CxByteScan.h"

#include <array>
#include <cstdint>

namespace corvane {

namespace {

enum TByteClass : std::uint8_t { bcCopy = 0, bcEntity, bcDrop, bcCheckNonCharacter, bcCheckC1Control };

constexpr std::array<TByteClass, 256> MakeByteClasses() {
    std::array<TByteClass, 256> Classes{};
    for (int C = 0; C < 0x20; ++C)
        if (C != '\t' && C != '\n' && C != '\r') Classes[C] = bcDrop;
    Classes['&'] = bcEntity;
    Classes['"'] = bcEntity;
    Classes['<'] = bcEntity;
    Classes['>'] = bcEntity;
    // U+FFFE and U+FFFF are EF BF BE and EF BF BF.
    Classes[0xEF] = bcCheckNonCharacter;
    // U+0080 to U+009F (C2 80 to C2 9F): HTML forbids the C1 controls in text, and no font shows them.
    Classes[0xC2] = bcCheckC1Control;
    return Classes;
}

constexpr std::array<TByteClass, 256> ByteClasses = MakeByteClasses();

// The index of the next byte at or after From that may not be bcCopy: ASCII text is passed over in blocks.
std::size_t NextToClassify(std::string_view Text, std::size_t From) {
    const char* const End = Text.data() + Text.size();
    return static_cast<std::size_t>(FindStop<srControlOrHigh, '&', '"', '<', '>'>(Text.data() + From, End) -
                                    Text.data());
}

std::string_view EntityOf(char C) {
    switch (C) {
    case '&':
        return "&amp;";
    case '"':
        return "&quot;";
    case '<':
        return "&lt;";
    default:
        return "&gt;";
    }
}

bool IsUnreserved(unsigned char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '-' ||
           C == '.' || C == '_' || C == '~';
}

// Blanks here are every character with a code up to 32, as the field grammar trims them.
std::string_view TrimBlanks(std::string_view Text) {
    while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= 32)
        Text.remove_prefix(1);
    while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= 32)
        Text.remove_suffix(1);
    return Text;
}

std::string_view TrimLeadingBlanks(std::string_view Text) {
    while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= 32)
        Text.remove_prefix(1);
    return Text;
}

std::string_view StripQuotes(std::string_view Text) {
    if (Text.size() > 1 && Text.front() == '"' && Text.back() == '"') return Text.substr(1, Text.size() - 2);
    return Text;
}

// Absolute targets that links keep exactly as written.
bool IsKeptTarget(std::string_view Target) {
    return Target.starts_with("http://") || Target.starts_with("https://") || Target.starts_with("mailto:");
}

std::size_t FindRtfExtension(std::string_view Text) {
    for (std::size_t I = 0; I + 4 <= Text.size(); ++I) {
        if (Text[I] != '.') continue;
        const auto Lower = [&](std::size_t K) { return static_cast<char>(Text[I + K] | 0x20); };
        if (Lower(1) == 'r' && Lower(2) == 't' && Lower(3) == 'f') return I;
    }
    return std::string_view::npos;
}

constexpr std::string_view HyperlinkWord = "HYPERLINK";

} // namespace

std::string EscapeMarkup(std::string_view Text) {
    std::string Result;
    Result.reserve(Text.size() + Text.size() / 8);
    const std::size_t Size = Text.size();
    std::size_t RunStart = 0;
    for (std::size_t I = NextToClassify(Text, 0); I < Size; I = NextToClassify(Text, I + 1)) {
        const TByteClass Class = ByteClasses[static_cast<unsigned char>(Text[I])];
        if (Class == bcCopy) continue;
        if (Class == bcCheckNonCharacter) {
            if (I + 2 >= Size || Text[I + 1] != '\xBF' || (Text[I + 2] != '\xBE' && Text[I + 2] != '\xBF'))
                continue;
            Result.append(Text.data() + RunStart, I - RunStart);
            I += 2;
            RunStart = I + 1;
            continue;
        }
        if (Class == bcCheckC1Control) {
            if (I + 1 >= Size || static_cast<unsigned char>(Text[I + 1]) > 0x9F) continue;
            Result.append(Text.data() + RunStart, I - RunStart);
            I += 1;
            RunStart = I + 1;
            continue;
        }
        Result.append(Text.data() + RunStart, I - RunStart);
        if (Class == bcEntity) Result += EntityOf(Text[I]);
        RunStart = I + 1;
    }
    Result.append(Text.data() + RunStart, Size - RunStart);
    return Result;
}

bool EscapeChanges(std::string_view Text) {
    // The same classification as EscapeMarkup, stopping at the first byte it would not copy.
    const std::size_t Size = Text.size();
    for (std::size_t I = NextToClassify(Text, 0); I < Size; I = NextToClassify(Text, I + 1)) {
        const TByteClass Class = ByteClasses[static_cast<unsigned char>(Text[I])];
        if (Class == bcCopy) continue;
        if (Class == bcCheckNonCharacter) {
            if (I + 2 < Size && Text[I + 1] == '\xBF' && (Text[I + 2] == '\xBE' || Text[I + 2] == '\xBF'))
                return true;
            continue;
        }
        if (Class == bcCheckC1Control) {
            if (I + 1 < Size && static_cast<unsigned char>(Text[I + 1]) <= 0x9F) return true;
            continue;
        }
        return true;
    }
    return false;
}

std::string UnescapeMarkup(std::string_view Text) {
    static constexpr std::array<std::pair<std::string_view, char>, 4> Entities{
        {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}}};
    std::string Result;
    Result.reserve(Text.size());
    std::size_t I = 0;
    while (I < Text.size()) {
        const std::size_t Amp = Text.find('&', I);
        if (Amp == std::string_view::npos) break;
        Result.append(Text.data() + I, Amp - I);
        I = Amp + 1;
        char Replacement = '&';
        for (const auto& [Entity, Character] : Entities) {
            if (Text.substr(Amp).starts_with(Entity)) {
                Replacement = Character;
                I = Amp + Entity.size();
                break;
            }
        }
        Result += Replacement;
    }
    Result.append(Text.data() + I, Text.size() - I);
    return Result;
}

std::string PercentEncode(std::string_view Text) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string Result;
    Result.reserve(Text.size() + Text.size() / 2);
    for (const char C : Text) {
        const auto Byte = static_cast<unsigned char>(C);
        if (IsUnreserved(Byte)) {
            Result += C;
        } else {
            const char Escape[3] = {'%', Hex[Byte >> 4], Hex[Byte & 0x0F]};
            Result.append(Escape, 3);
        }
    }
    return Result;
}

bool IsHyperlinkInstruction(std::string_view Instruction) {
    return TrimLeadingBlanks(Instruction).starts_with(HyperlinkWord);
}

std::string ParseHyperlinkInstruction(std::string_view Instruction) {
    std::string_view S = TrimLeadingBlanks(Instruction);
    // Only ever called for HYPERLINK instructions; anything else is taken whole as its own target.
    if (S.starts_with(HyperlinkWord)) S.remove_prefix(HyperlinkWord.size());
    S = TrimBlanks(S);

    std::string_view Anchor;
    if (const std::size_t Switch = S.find("\\l"); Switch != std::string_view::npos) {
        Anchor = StripQuotes(TrimBlanks(S.substr(Switch + 2)));
        S = TrimBlanks(S.substr(0, Switch));
    }
    S = StripQuotes(S);

    // An absolute target is left as written, so only escaped for the attribute; its anchor is dropped.
    if (IsKeptTarget(S)) return EscapeMarkup(S);

    std::string Target(S);
    if (const std::size_t Extension = FindRtfExtension(Target); Extension != std::string::npos)
        Target.replace(Extension, 4, ".html");
    std::string Result = PercentEncode(Target);
    if (!Anchor.empty()) {
        Result += '#';
        Result += PercentEncode(Anchor);
    }
    return Result;
}

std::string TLinkURIBuilder::BuildLink(const ISimpleDomTextNode& Node) {
    FInstruction = Node.GetFieldInstruction();
    FLinkText = Node.GetText();

    std::string URI;
    if (IsHyperlinkInstruction(FInstruction)) {
        URI = ParseHyperlinkInstruction(FInstruction);
    } else {
        // The run's text was escaped for markup already; its target must come from the text as written.
        const std::string Target = UnescapeMarkup(FLinkText);
        URI = IsKeptTarget(Target) ? EscapeMarkup(Target) : PercentEncode(Target);
    }

    std::string Result;
    Result.reserve(URI.size() + FLinkText.size() + 15);
    Result += "<a href=\"";
    Result += URI;
    Result += "\">";
    Result += FLinkText;
    Result += "</a>";
    return Result;
}

} // namespace corvane
