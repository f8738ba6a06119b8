// Runs one conversion of untrusted input in a child process, so that a crash, a hang or a sanitizer
// finding fails that case alone, and measures the memory it needed. Also inspects XHTML output with a
// real XML parser: well-formed, and nothing in it that a document could have smuggled in.
#pragma once

#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"
#include "CxPictureConverterWMF.h"
#include "CxTypes.h"
#include "WmfPlayer.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define CORVANE_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVANE_TEST_ASAN 1
#endif
#endif

#ifdef CORVANE_TEST_ASAN
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*Malloc)(const volatile void*, std::size_t),
                                              void (*Free)(const volatile void*));
std::size_t __sanitizer_get_allocated_size(const volatile void* Pointer);
int __lsan_do_recoverable_leak_check();
}
#endif

namespace corvane::test {

#ifdef CORVANE_TEST_ASAN
inline constexpr bool UnderSanitizer = true;
#else
inline constexpr bool UnderSanitizer = false;
#endif

inline constexpr std::uint64_t MiB = 1024 * 1024;

// The converter as the command-line tool sets it up for --pictures --links --doctype xhtml10-strict.
inline std::unique_ptr<TRkCorvaneXHTML> MakeFullConverter() {
    auto Converter = std::make_unique<TRkCorvaneXHTML>();
    Converter->SetDocumentType(dtXHTML_10_Strict);
    Converter->SetConvertFields(true);
    Converter->SetConvertAnchors(true);
    Converter->SetConvertHyperlinks(true);
    Converter->SetConvertPictures(true);
    auto Pictures = std::make_shared<TMemoryPictureAdapterDataURI>(32);
    Pictures->SetConverter(std::make_shared<TPictureConverterWMF>());
    Converter->SetPictureAdapter(Pictures);
    return Converter;
}

// ---------------------------------------------------------------------------------------------------
// Memory. Resident size is the honest measure in a plain build, but under AddressSanitizer it is
// dominated by shadow memory and by the quarantine that keeps freed blocks mapped (up to 256 MB), so
// there the peak of live heap bytes, counted through the sanitizer's allocation hooks, stands in. Both
// are taken in a fresh child, relative to its state before the input was built.

class TMemoryMeter {
public:
    void Start() {
#ifdef CORVANE_TEST_ASAN
        Live() = Peak() = 0;
        __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree);
#else
        malloc_trim(0);
        // Resets the peak resident size to the current one; without it the inherited peak is the base.
        if (std::FILE* File = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", File);
            std::fclose(File);
        }
        FBase = PeakResidentBytes();
#endif
    }

    std::uint64_t PeakBytes() const {
#ifdef CORVANE_TEST_ASAN
        return static_cast<std::uint64_t>(std::max<std::int64_t>(Peak(), 0));
#else
        const std::uint64_t Now = PeakResidentBytes();
        return Now > FBase ? Now - FBase : 0;
#endif
    }

private:
#ifdef CORVANE_TEST_ASAN
    static std::int64_t& Live() {
        static std::int64_t Value = 0;
        return Value;
    }
    static std::int64_t& Peak() {
        static std::int64_t Value = 0;
        return Value;
    }
    static void OnMalloc(const volatile void*, std::size_t Size) {
        Live() += static_cast<std::int64_t>(Size);
        Peak() = std::max(Peak(), Live());
    }
    static void OnFree(const volatile void* Pointer) {
        Live() -= static_cast<std::int64_t>(__sanitizer_get_allocated_size(Pointer));
    }
#else
    static std::uint64_t PeakResidentBytes() {
        std::ifstream Status("/proc/self/status");
        std::string Line;
        while (std::getline(Status, Line))
            if (Line.starts_with("VmHWM:")) return std::stoull(Line.substr(6)) * 1024;
        rusage Usage{};
        getrusage(RUSAGE_SELF, &Usage);
        return static_cast<std::uint64_t>(Usage.ru_maxrss) * 1024;
    }
    std::uint64_t FBase = 0;
#endif
};

// ---------------------------------------------------------------------------------------------------
// Output inspection.

// Declarations a run, a paragraph or a list item may carry.
inline const std::set<std::string, std::less<>>& AllowedStyleProperties() {
    static const std::set<std::string, std::less<>> Properties{
        "font-family",     "color",          "background-color", "font-size",  "font-weight", "font-style",
        "text-decoration", "vertical-align", "direction",        "text-align", "margin-left", "margin-right",
        "text-indent",     "margin-top",     "margin-bottom",    "border"};
    return Properties;
}

// "" when Style is a list of allowed declarations each confined to itself: no escape, comment, brace
// or unterminated string that could carry a value past its semicolon or hide the declarations after it.
inline std::string InspectStyle(std::string_view Style) {
    std::size_t Start = 0;
    char Quote = 0;
    const auto CheckDeclaration = [&](std::string_view Declaration) -> std::string {
        while (!Declaration.empty() && Declaration.front() == ' ')
            Declaration.remove_prefix(1);
        if (Declaration.empty()) return {};
        const std::size_t Colon = Declaration.find(':');
        if (Colon == std::string_view::npos)
            return "declaration without a value: " + std::string(Declaration);
        if (!AllowedStyleProperties().contains(Declaration.substr(0, Colon)))
            return "unexpected property: " + std::string(Declaration);
        return {};
    };
    for (std::size_t I = 0; I < Style.size(); ++I) {
        const char C = Style[I];
        if (C == '\\' || C == '{' || C == '}')
            return "character that escapes CSS in a style: " + std::string(Style);
        if (C == '/' && I + 1 < Style.size() && Style[I + 1] == '*')
            return "comment in a style: " + std::string(Style);
        if (Quote != 0) {
            if (C == Quote) Quote = 0;
            continue;
        }
        if (C == '\'' || C == '"') {
            Quote = C;
        } else if (C == ';') {
            if (std::string Problem = CheckDeclaration(Style.substr(Start, I - Start)); !Problem.empty())
                return Problem;
            Start = I + 1;
        }
    }
    if (Quote != 0) return "unterminated string in a style: " + std::string(Style);
    return CheckDeclaration(Style.substr(Start));
}

// "" when Href is a target the link builder may write: an absolute target kept as written, or one
// percent-encoded down to unreserved characters (with one anchor).
inline std::string InspectHref(std::string_view Href) {
    for (const std::string_view Kept : {"http://", "https://", "mailto:"})
        if (Href.starts_with(Kept)) return {};
    for (const char C : Href) {
        const bool Unreserved = (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') ||
                                C == '-' || C == '.' || C == '_' || C == '~' || C == '%' || C == '#';
        if (!Unreserved) return "href not percent-encoded: " + std::string(Href);
    }
    return {};
}

inline std::string InspectImageSource(std::string_view Source) {
    if (Source.starts_with("data:")) {
        const std::size_t Comma = Source.find(";base64,");
        if (Comma == std::string_view::npos)
            return "data URI without base64: " + std::string(Source.substr(0, 80));
        const std::string_view Data = Source.substr(Comma + 8);
        if (Data.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=") !=
            std::string_view::npos)
            return "data URI with foreign characters";
        return {};
    }
    if (Source.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.") != std::string_view::npos)
        return "unexpected image source: " + std::string(Source);
    return {};
}

inline std::string AttributeValue(xmlNode* Element, xmlAttr* Attribute) {
    xmlChar* Value = xmlNodeListGetString(Element->doc, Attribute->children, 1);
    std::string Result = Value != nullptr ? reinterpret_cast<const char*>(Value) : "";
    xmlFree(Value);
    return Result;
}

// "" when Element and everything below it is markup the XHTML 1.0 Strict translator writes, with the
// attributes it writes; otherwise the first problem.
inline std::string InspectElement(xmlNode* Element) {
    static const std::set<std::string, std::less<>> Elements{
        "html", "head", "meta", "title", "style", "body", "p", "span", "a", "img", "br", "ul", "ol", "li"};
    static const std::set<std::pair<std::string, std::string>> Attributes{
        {"html", "lang"}, {"meta", "http-equiv"}, {"meta", "content"}, {"meta", "name"}, {"style", "type"},
        {"p", "style"},   {"li", "style"},        {"span", "style"},   {"span", "id"},   {"span", "lang"},
        {"a", "href"},    {"img", "src"},         {"img", "height"},   {"img", "width"}, {"img", "alt"}};
    for (xmlNode* Node = Element; Node != nullptr; Node = Node->next) {
        if (Node->type == XML_TEXT_NODE || Node->type == XML_ENTITY_REF_NODE) continue;
        if (Node->type != XML_ELEMENT_NODE) return "unexpected node of type " + std::to_string(Node->type);
        const std::string Name = reinterpret_cast<const char*>(Node->name);
        if (!Elements.contains(Name)) return "unexpected element <" + Name + ">";
        for (xmlAttr* Attribute = Node->properties; Attribute != nullptr; Attribute = Attribute->next) {
            const std::string AttributeName = reinterpret_cast<const char*>(Attribute->name);
            if (!Attributes.contains({Name, AttributeName}))
                return "unexpected attribute " + AttributeName + " on <" + Name + ">";
            const std::string Value = AttributeValue(Node, Attribute);
            std::string Problem;
            if (AttributeName == "style") Problem = InspectStyle(Value);
            if (AttributeName == "href") Problem = InspectHref(Value);
            if (AttributeName == "src") Problem = InspectImageSource(Value);
            if ((AttributeName == "width" || AttributeName == "height") &&
                (Value.empty() || Value.find_first_not_of("0123456789") != std::string::npos))
                Problem = "picture size that is not a number: " + Value;
            if (!Problem.empty()) return Problem;
        }
        if (std::string Problem = InspectElement(Node->children); !Problem.empty()) return Problem;
    }
    return {};
}

// Calls Visit for every element of the parsed Output (which must be well-formed); for the injection
// tests' own look at ids and targets.
inline void ForEachElement(xmlNode* Node, const std::function<void(xmlNode*)>& Visit) {
    for (; Node != nullptr; Node = Node->next) {
        if (Node->type != XML_ELEMENT_NODE) continue;
        Visit(Node);
        ForEachElement(Node->children, Visit);
    }
}

class TXmlDocument {
public:
    explicit TXmlDocument(std::string_view Text) {
        FDocument = xmlReadMemory(Text.data(), static_cast<int>(Text.size()), nullptr, "UTF-8",
                                  XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
        if (FDocument == nullptr) {
            const xmlError* Error = xmlGetLastError();
            FError = "not well-formed XML";
            if (Error != nullptr && Error->message != nullptr)
                FError += ": line " + std::to_string(Error->line) + ": " + Error->message;
        }
    }
    TXmlDocument(const TXmlDocument&) = delete;
    TXmlDocument& operator=(const TXmlDocument&) = delete;
    ~TXmlDocument() {
        if (FDocument != nullptr) xmlFreeDoc(FDocument);
    }
    xmlNode* Root() const { return FDocument != nullptr ? xmlDocGetRootElement(FDocument) : nullptr; }
    const std::string& Error() const { return FError; }

private:
    xmlDocPtr FDocument = nullptr;
    std::string FError;
};

// "" when Output is well-formed XML holding nothing but the converter's own markup.
inline std::string InspectXhtml(std::string_view Output) {
    const TXmlDocument Document(Output);
    if (!Document.Error().empty()) return Document.Error();
    return InspectElement(Document.Root());
}

// ---------------------------------------------------------------------------------------------------
// The child process.

enum TOutcome : std::int32_t { ocConverted, ocFailed, ocForeignException };

struct TChildReport {
    TOutcome Outcome = ocForeignException;
    std::uint64_t PeakBytes = 0;
    std::uint64_t InputBytes = 0;
    std::uint64_t OutputBytes = 0;
    std::array<char, 600> Message{};    // the ECxError's or other exception's text
    std::array<char, 600> Inspection{}; // the first problem of the output, if any
};

struct TIsolatedRun {
    bool Finished = false; // the child reported and exited normally
    std::string Death;     // otherwise: how it ended
    TChildReport Report;
    std::string Message() const { return Report.Message.data(); }
    std::string Inspection() const { return Report.Inspection.data(); }
};

inline void CopyText(std::array<char, 600>& Target, std::string_view Text) {
    const std::size_t Count = std::min(Text.size(), Target.size() - 1);
    std::memcpy(Target.data(), Text.data(), Count);
    Target[Count] = '\0';
}

// What the child does: builds its input, converts, and fills the report. The input is built inside
// the child, so that it counts towards the case's memory and the parent stays small.
using TChildWork = std::function<void(TMemoryMeter& Meter, TChildReport& Report)>;

// Converts MakeInput() with the full converter; the output must be clean XHTML and hold Needle.
inline TChildWork ConvertInChild(std::function<std::string()> MakeInput, std::string Needle = {}) {
    return [MakeInput = std::move(MakeInput), Needle = std::move(Needle)](TMemoryMeter& Meter,
                                                                          TChildReport& Report) {
        std::string Output;
        {
            const std::string Input = MakeInput();
            Report.InputBytes = Input.size();
            auto Converter = MakeFullConverter();
            try {
                Output = Converter->Convert(Input);
                Report.Outcome = ocConverted;
            } catch (const ECxError& Error) {
                Report.Outcome = ocFailed;
                CopyText(Report.Message, Error.what());
            } catch (const std::exception& Error) {
                CopyText(Report.Message, Error.what());
            } catch (...) {
                CopyText(Report.Message, "an exception of unknown type");
            }
        }
        Report.OutputBytes = Output.size();
        Report.PeakBytes = Meter.PeakBytes();
        if (Report.Outcome != ocConverted) return;
        std::string Problem = InspectXhtml(Output);
        if (Problem.empty() && Output.find(Needle) == std::string::npos)
            Problem = "no \"" + Needle + "\" in the output";
        CopyText(Report.Inspection, Problem);
    };
}

// Runs Work in a forked child, killed by an alarm after Seconds. Under the sanitizer the child also
// runs the leak check once everything it made is gone, and reports a leak as its death.
inline TIsolatedRun RunIsolated(const TChildWork& Work, unsigned Seconds) {
    int Pipe[2];
    if (pipe(Pipe) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return {};
    }
    std::fflush(nullptr);
    const pid_t Child = fork();
    if (Child < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        return {};
    }
    if (Child == 0) {
        close(Pipe[0]);
        alarm(Seconds);
        TChildReport Report;
        {
            TMemoryMeter Meter;
            Meter.Start();
            Work(Meter, Report);
        }
        xmlCleanupParser();
        wmf::ReleaseGraphicsCaches();
        int Status = 0;
#ifdef CORVANE_TEST_ASAN
        __sanitizer_install_malloc_and_free_hooks(nullptr, nullptr);
        if (__lsan_do_recoverable_leak_check() != 0) Status = 3;
#endif
        const char* Bytes = reinterpret_cast<const char*>(&Report);
        for (std::size_t Written = 0; Written < sizeof Report;) {
            const ssize_t Count = write(Pipe[1], Bytes + Written, sizeof Report - Written);
            if (Count <= 0) _exit(4);
            Written += static_cast<std::size_t>(Count);
        }
        _exit(Status);
    }
    close(Pipe[1]);
    TIsolatedRun Run;
    std::size_t Received = 0;
    char* Target = reinterpret_cast<char*>(&Run.Report);
    while (Received < sizeof Run.Report) {
        const ssize_t Count = read(Pipe[0], Target + Received, sizeof Run.Report - Received);
        if (Count < 0 && errno == EINTR) continue;
        if (Count <= 0) break;
        Received += static_cast<std::size_t>(Count);
    }
    close(Pipe[0]);
    int Status = 0;
    while (waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(Status)) {
        const int Signal = WTERMSIG(Status);
        Run.Death = Signal == SIGALRM ? "no result within " + std::to_string(Seconds) + " s"
                                      : std::string("killed by signal ") + strsignal(Signal);
    } else if (WIFEXITED(Status) && WEXITSTATUS(Status) == 3) {
        Run.Death = "leaked memory (see the leak report above)";
    } else if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0 || Received != sizeof Run.Report) {
        Run.Death = "ended with status " + std::to_string(WEXITSTATUS(Status)) + " without a full report";
    } else {
        Run.Finished = true;
    }
    return Run;
}

} // namespace corvane::test
