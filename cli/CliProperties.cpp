#include "CliProperties.h"

#include "CxBase.h"

#include <array>
#include <charconv>
#include <type_traits>

namespace corvane {

namespace {

constexpr std::array<std::string_view, 9> DocumentTypeNames{
    "dtHTML3Flex",      "dtHTML_401_Transitional", "dtHTML_401_Strict",
    "dtHTML_50",        "dtXHTML_10_Transitional", "dtXHTML_10_Strict",
    "dtXHTML_Basic_10", "dtXHTML_MP_10",           "dtXHTML_11"};
constexpr std::array<std::string_view, 4> FontSizeScaleNames{"fsPoint", "fsEM", "fsEX", "fsPercent"};
constexpr std::array<std::string_view, 5> LogLevelNames{"logDebug", "logInfo", "logWarning", "logError",
                                                        "logFatal"};
constexpr std::array<std::string_view, 6> FontOptionNames{"opFontName",  "opFontSize",    "opFontStyle",
                                                          "opFontColor", "opFontBGColor", "opFontHLColor"};

// The value names of each enumeration and set type, by ordinal.
template <typename T> constexpr std::span<const std::string_view> ValueNamesOf() {
    if constexpr (std::is_same_v<T, TDocumentType>)
        return DocumentTypeNames;
    else if constexpr (std::is_same_v<T, TFontSizeScale>)
        return FontSizeScaleNames;
    else if constexpr (std::is_same_v<T, TLogLevel>)
        return LogLevelNames;
    else if constexpr (std::is_same_v<T, TFontConversionOptions>)
        return FontOptionNames;
    else
        return {};
}

template <typename T> constexpr TPropertyKind KindOf() {
    if constexpr (std::is_same_v<T, bool>)
        return pkBoolean;
    else if constexpr (std::is_same_v<T, std::int32_t>)
        return pkInteger;
    else if constexpr (std::is_same_v<T, std::string>)
        return pkString;
    else if constexpr (std::is_same_v<T, TStringList>)
        return pkStringList;
    else if constexpr (std::is_same_v<T, TFontConversionOptions>)
        return pkOptionSet;
    else {
        static_assert(std::is_enum_v<T>, "a published property of an unknown type");
        return pkEnumeration;
    }
}

template <typename T> TPropertyValue ToValue(const T& Value) {
    if constexpr (std::is_same_v<T, TFontConversionOptions>) {
        std::int32_t mask = 0;
        for (std::size_t option = 0; option < FontOptionNames.size(); ++option)
            if (Value.Contains(static_cast<TFontOption>(option))) mask |= 1 << option;
        return mask;
    } else if constexpr (std::is_enum_v<T>) {
        return static_cast<std::int32_t>(Value);
    } else {
        return Value;
    }
}

template <typename T> T FromValue(const TPropertyValue& Value) {
    if constexpr (std::is_same_v<T, TFontConversionOptions>) {
        TFontConversionOptions options;
        for (std::size_t option = 0; option < FontOptionNames.size(); ++option)
            if (std::get<std::int32_t>(Value) & (1 << option))
                options.Include(static_cast<TFontOption>(option));
        return options;
    } else if constexpr (std::is_enum_v<T>) {
        return static_cast<T>(std::get<std::int32_t>(Value));
    } else {
        return std::get<T>(Value);
    }
}

// Where a property lives: the converter itself or one of its option groups.
struct TSelf {
    static const TCxBase& Of(const TCxBase& Converter) { return Converter; }
    static TCxBase& Of(TCxBase& Converter) { return Converter; }
};
struct THead {
    static const TCxOptionsHead& Of(const TCxBase& Converter) { return Converter.OptionsHead(); }
    static TCxOptionsHead& Of(TCxBase& Converter) { return Converter.OptionsHead(); }
};
struct TOptimize {
    static const TCxOptionsOptimize& Of(const TCxBase& Converter) { return Converter.OptionsOptimize(); }
    static TCxOptionsOptimize& Of(TCxBase& Converter) { return Converter.OptionsOptimize(); }
};
struct TStructure {
    static const TCxOptionsStructure& Of(const TCxBase& Converter) { return Converter.OptionsStructure(); }
    static TCxOptionsStructure& Of(TCxBase& Converter) { return Converter.OptionsStructure(); }
};

// The type a property's getter yields.
template <typename Group, auto Getter>
using TPropertyType = std::remove_cvref_t<decltype((Group::Of(std::declval<const TCxBase&>()).*Getter)())>;

// A row of the table, its kind and value names taken from the getter's type.
template <typename Group, auto Getter, auto Setter> constexpr TPropertyInfo Row(std::string_view Name) {
    using T = TPropertyType<Group, Getter>;
    return {Name, KindOf<T>(), ValueNamesOf<T>(),
            [](const TCxBase& Converter) { return ToValue((Group::Of(Converter).*Getter)()); },
            [](TCxBase& Converter, const TPropertyValue& Value) {
                (Group::Of(Converter).*Setter)(FromValue<T>(Value));
            }};
}

// The version belongs to the class, not to one converter.
constexpr TPropertyInfo VersionRow{
    "Version", pkString, {}, [](const TCxBase&) { return TPropertyValue(TCxBase::Version()); }, nullptr};

using C = TCxBase;
using H = TCxOptionsHead;
using O = TCxOptionsOptimize;
using S = TCxOptionsStructure;

const std::array Properties{
    Row<TSelf, &C::ConvertAnchors, &C::SetConvertAnchors>("ConvertAnchors"),
    Row<TSelf, &C::ConvertEmptyParagraphs, &C::SetConvertEmptyParagraphs>("ConvertEmptyParagraphs"),
    Row<TSelf, &C::ConvertFields, &C::SetConvertFields>("ConvertFields"),
    Row<TSelf, &C::ConvertHyperlinks, &C::SetConvertHyperlinks>("ConvertHyperlinks"),
    Row<TSelf, &C::ConvertIndent, &C::SetConvertIndent>("ConvertIndent"),
    Row<TSelf, &C::ConvertLanguage, &C::SetConvertLanguage>("ConvertLanguage"),
    Row<TSelf, &C::ConvertPictures, &C::SetConvertPictures>("ConvertPictures"),
    Row<TSelf, &C::ConvertSpaces, &C::SetConvertSpaces>("ConvertSpaces"),
    Row<TSelf, &C::ConvertToPlainText, &C::SetConvertToPlainText>("ConvertToPlainText"),
    Row<TSelf, &C::DefaultLanguage, &C::SetDefaultLanguage>("DefaultLanguage"),
    Row<TSelf, &C::DocumentType, &C::SetDocumentType>("DocumentType"),
    Row<TSelf, &C::ExtractEncapsulatedHtml, &C::SetExtractEncapsulatedHtml>("ExtractEncapsulatedHtml"),
    Row<TSelf, &C::FontConversionOptions, &C::SetFontConversionOptions>("FontConversionOptions"),
    Row<TSelf, &C::FontSizeScale, &C::SetFontSizeScale>("FontSizeScale"),
    Row<TSelf, &C::IncludeDocType, &C::SetIncludeDocType>("IncludeDocType"),
    Row<TSelf, &C::IncludeXMLDeclaration, &C::SetIncludeXMLDeclaration>("IncludeXMLDeclaration"),
    Row<TSelf, &C::LogLevel, &C::SetLogLevel>("LogLevel"),
    Row<TSelf, &C::ReplaceFonts, &C::SetReplaceFonts>("ReplaceFonts"),
    Row<TSelf, &C::TabString, &C::SetTabString>("TabString"),
    VersionRow,
    Row<THead, &H::AddOuterHTML, &H::SetAddOuterHTML>("OptionsHead.AddOuterHTML"),
    Row<THead, &H::DocumentTitle, &H::SetDocumentTitle>("OptionsHead.DocumentTitle"),
    Row<THead, &H::HeadTags, &H::SetHeadTags>("OptionsHead.HeadTags"),
    Row<THead, &H::MetaAuthor, &H::SetMetaAuthor>("OptionsHead.MetaAuthor"),
    Row<THead, &H::MetaContentType, &H::SetMetaContentType>("OptionsHead.MetaContentType"),
    Row<THead, &H::MetaDescription, &H::SetMetaDescription>("OptionsHead.MetaDescription"),
    Row<THead, &H::MetaKeywords, &H::SetMetaKeywords>("OptionsHead.MetaKeywords"),
    Row<THead, &H::MetaTags, &H::SetMetaTags>("OptionsHead.MetaTags"),
    Row<THead, &H::MetaViewport, &H::SetMetaViewport>("OptionsHead.MetaViewport"),
    Row<THead, &H::StyleSheetInclude, &H::SetStyleSheetInclude>("OptionsHead.StyleSheetInclude"),
    Row<THead, &H::StyleSheetLink, &H::SetStyleSheetLink>("OptionsHead.StyleSheetLink"),
    Row<TOptimize, &O::DefaultFontColor, &O::SetDefaultFontColor>("OptionsOptimize.DefaultFontColor"),
    Row<TOptimize, &O::DefaultFontName, &O::SetDefaultFontName>("OptionsOptimize.DefaultFontName"),
    Row<TOptimize, &O::DefaultFontSize, &O::SetDefaultFontSize>("OptionsOptimize.DefaultFontSize"),
    Row<TOptimize, &O::IncludeDefaultFontStyle, &O::SetIncludeDefaultFontStyle>(
        "OptionsOptimize.IncludeDefaultFontStyle"),
    Row<TStructure, &S::Tables, &S::SetTables>("OptionsStructure.Tables"),
    Row<TStructure, &S::Lists, &S::SetLists>("OptionsStructure.Lists"),
    Row<TStructure, &S::Notes, &S::SetNotes>("OptionsStructure.Notes"),
    Row<TStructure, &S::HeadersFooters, &S::SetHeadersFooters>("OptionsStructure.HeadersFooters"),
};

std::int32_t IndexOfName(const TPropertyInfo& Property, std::string_view Name) {
    for (std::size_t i = 0; i < Property.ValueNames.size(); ++i)
        if (Property.ValueNames[i] == Name) return static_cast<std::int32_t>(i);
    std::string known;
    for (std::string_view valueName : Property.ValueNames)
        known.append(known.empty() ? "" : ", ").append(valueName);
    throw ECliUsage(std::string(Property.Name) + ": unknown value \"" + std::string(Name) + "\" (one of " +
                    known + ")");
}

std::string_view Trim(std::string_view Text) {
    while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t'))
        Text.remove_prefix(1);
    while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t'))
        Text.remove_suffix(1);
    return Text;
}

std::pair<std::string_view, std::string_view> SplitAssignment(std::string_view Argument,
                                                              std::string_view Option) {
    std::size_t equals = Argument.find('=');
    if (equals == std::string_view::npos)
        throw ECliUsage(std::string(Option) + " needs NAME=VALUE, not \"" + std::string(Argument) + "\"");
    return {Argument.substr(0, equals), Argument.substr(equals + 1)};
}

} // namespace

std::span<const TPropertyInfo> PropertyTable() {
    return Properties;
}

const TPropertyInfo& FindProperty(std::string_view Name) {
    for (const TPropertyInfo& property : Properties)
        if (property.Name == Name) return property;
    throw ECliUsage("unknown property \"" + std::string(Name) + "\" (--list-properties shows them all)");
}

TPropertyValue ParsePropertyValue(const TPropertyInfo& Property, std::string_view Text) {
    switch (Property.Kind) {
    case pkBoolean:
        if (Text == "true") return true;
        if (Text == "false") return false;
        throw ECliUsage(std::string(Property.Name) + ": \"" + std::string(Text) + "\" is not true or false");
    case pkInteger: {
        std::int32_t value = 0;
        auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
        if (Text.empty() || error != std::errc() || end != Text.data() + Text.size())
            throw ECliUsage(std::string(Property.Name) + ": \"" + std::string(Text) +
                            "\" is not a 32-bit integer");
        return value;
    }
    case pkString:
        return std::string(Text);
    case pkStringList:
        return Text.empty() ? TStringList{} : TStringList{std::string(Text)};
    case pkEnumeration:
        return IndexOfName(Property, Text);
    case pkOptionSet: {
        std::int32_t mask = 0;
        if (Trim(Text).empty()) return mask;
        while (true) {
            std::size_t comma = Text.find(',');
            mask |= 1 << IndexOfName(Property, Trim(Text.substr(0, comma)));
            if (comma == std::string_view::npos) return mask;
            Text.remove_prefix(comma + 1);
        }
    }
    }
    return {};
}

std::string FormatPropertyValue(const TPropertyInfo& Property, const TPropertyValue& Value) {
    switch (Property.Kind) {
    case pkBoolean:
        return std::get<bool>(Value) ? "true" : "false";
    case pkInteger:
        return std::to_string(std::get<std::int32_t>(Value));
    case pkString:
        return std::get<std::string>(Value);
    case pkStringList: {
        std::string text;
        for (const std::string& line : std::get<TStringList>(Value))
            text.append(text.empty() ? "" : "\n").append(line);
        return text;
    }
    case pkEnumeration: {
        std::int32_t ordinal = std::get<std::int32_t>(Value);
        if (ordinal >= 0 && static_cast<std::size_t>(ordinal) < Property.ValueNames.size())
            return std::string(Property.ValueNames[static_cast<std::size_t>(ordinal)]);
        return std::to_string(ordinal);
    }
    case pkOptionSet: {
        std::string text;
        for (std::size_t i = 0; i < Property.ValueNames.size(); ++i)
            if (std::get<std::int32_t>(Value) & (1 << i))
                text.append(text.empty() ? "" : ",").append(Property.ValueNames[i]);
        return text;
    }
    }
    return {};
}

TPropertyStep MakeSetStep(std::string_view Name, std::string_view Text) {
    const TPropertyInfo& property = FindProperty(Name);
    if (!property.Set) throw ECliUsage(std::string(Name) + " is read-only");
    return {&property, false, ParsePropertyValue(property, Text)};
}

TPropertyStep ParseSetStep(std::string_view Argument) {
    auto [name, text] = SplitAssignment(Argument, "--set");
    return MakeSetStep(name, text);
}

TPropertyStep ParseAddStep(std::string_view Argument) {
    auto [name, line] = SplitAssignment(Argument, "--add");
    const TPropertyInfo& property = FindProperty(name);
    if (property.Kind != pkStringList)
        throw ECliUsage("--add works on string lists only; " + std::string(name) + " is not one");
    return {&property, true, std::string(line)};
}

void ApplyStep(TCxBase& Converter, const TPropertyStep& Step) {
    if (!Step.AddLine) {
        Step.Property->Set(Converter, Step.Value);
        return;
    }
    TStringList lines = std::get<TStringList>(Step.Property->Get(Converter));
    lines.push_back(std::get<std::string>(Step.Value));
    Step.Property->Set(Converter, lines);
}

std::string ListProperties(const TCxBase& Converter) {
    std::string text;
    for (const TPropertyInfo& property : Properties) {
        TPropertyValue value = property.Get(Converter);
        if (property.Kind == pkStringList && !std::get<TStringList>(value).empty()) {
            const TStringList& lines = std::get<TStringList>(value);
            for (std::size_t i = 0; i < lines.size(); ++i)
                text += std::string(property.Name) + "[" + std::to_string(i) + "]=" + lines[i] + "\n";
        } else {
            text += std::string(property.Name) + "=" + FormatPropertyValue(property, value) + "\n";
        }
    }
    return text;
}

} // namespace corvane
