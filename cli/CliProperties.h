// The published properties of the converter and of its two option groups, by name: one table that maps each
// name to its getter and setter, and the conversions between a property's value and its command-line text.
#pragma once

#include "CxOptions.h"

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace corvane {

class TCxBase;

// A mistake on the command line: the tool ends with status 2.
class ECliUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TPropertyKind : std::uint8_t {
    pkBoolean = 0,     // true | false
    pkInteger = 1,     // a signed 32-bit decimal
    pkString = 2,      // taken as written
    pkStringList = 3,  // one line per entry
    pkEnumeration = 4, // a value name; held as its ordinal
    pkOptionSet = 5,   // comma-separated value names; held as a bit mask over the ordinals
};

// bool for pkBoolean; int32 for pkInteger, pkEnumeration and pkOptionSet; string; string list.
using TPropertyValue = std::variant<bool, std::int32_t, std::string, TStringList>;

struct TPropertyInfo {
    std::string_view Name;
    TPropertyKind Kind;
    std::span<const std::string_view> ValueNames; // by ordinal, for pkEnumeration and pkOptionSet
    TPropertyValue (*Get)(const TCxBase&);
    void (*Set)(TCxBase&, const TPropertyValue&); // nullptr for a read-only property
};

// Every published property, the converter's own first, then "OptionsHead.…" and "OptionsOptimize.…".
std::span<const TPropertyInfo> PropertyTable();

// Throws ECliUsage for an unknown name.
const TPropertyInfo& FindProperty(std::string_view Name);

// Throws ECliUsage, naming the property, when Text is not a value of its kind.
TPropertyValue ParsePropertyValue(const TPropertyInfo& Property, std::string_view Text);

// The text ParsePropertyValue reads back; a string list gives its lines joined by line breaks.
std::string FormatPropertyValue(const TPropertyInfo& Property, const TPropertyValue& Value);

// One change asked for on the command line: "--set NAME=VALUE" or "--add NAME=LINE".
struct TPropertyStep {
    const TPropertyInfo* Property = nullptr;
    bool AddLine = false;
    TPropertyValue Value;
};

// Reads "NAME=VALUE" (--set) or "NAME=LINE" (--add); throws ECliUsage. "--set LIST=" empties a string list,
// "--set LIST=LINE" makes it that one line.
TPropertyStep ParseSetStep(std::string_view Argument);
TPropertyStep ParseAddStep(std::string_view Argument);
TPropertyStep MakeSetStep(std::string_view Name, std::string_view Text);

void ApplyStep(TCxBase& Converter, const TPropertyStep& Step);

// "NAME=VALUE" per line in table order; a string list as "NAME[i]=LINE" per line, or "NAME=" when empty.
std::string ListProperties(const TCxBase& Converter);

} // namespace corvane
