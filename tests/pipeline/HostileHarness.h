// Runs one conversion of untrusted input in a child process, so that a crash, a hang or a sanitizer
// finding fails that case alone, and measures the memory it needed. Also inspects XHTML output with a
// real XML parser: well-formed, and nothing in it that a document could have smuggled in.
#pragma once

#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"
#include "CxPictureConverterEMF.h"
#include "CxPictureConverterList.h"
#include "CxPictureConverterWMF.h"
#include "CxTypes.h"
#include "WmfPlayer.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <gtest/gtest.h>

#include <algorithm>
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
#include <sys/mman.h>
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

// The converter as the command-line tool sets it up for --all --doctype xhtml10-strict.
inline std::unique_ptr<TRkCorvaneXHTML> MakeFullConverter() {
    auto Converter = std::make_unique<TRkCorvaneXHTML>();
    Converter->SetDocumentType(dtXHTML_10_Strict);
    Converter->SetConvertFields(true);
    Converter->SetConvertAnchors(true);
    Converter->SetConvertHyperlinks(true);
    Converter->SetConvertPictures(true);
    Converter->OptionsStructure().SetTables(true);
    Converter->OptionsStructure().SetLists(true);
    Converter->OptionsStructure().SetNotes(true);
    Converter->OptionsStructure().SetHeadersFooters(true);
    auto Pictures = std::make_shared<TMemoryPictureAdapterDataURI>(32);
    Pictures->SetConverter(
        std::make_shared<TPictureConverterList>(std::vector<std::shared_ptr<IPictureConverter>>{
            std::make_shared<TPictureConverterWMF>(), std::make_shared<TPictureConverterEMF>()}));
    Converter->SetPictureAdapter(Pictures);
    Converter->SetExtractEncapsulatedHtml(true);
    return Converter;
}

// Memory, measured in a fresh child from the moment StartMemoryMeter is called. Resident size is the
// honest measure in a plain build, but under AddressSanitizer it is dominated by shadow memory and by the
// quarantine that keeps freed blocks mapped (up to 256 MB), so there the peak of live heap bytes, counted
// through the sanitizer's allocation hooks, stands in.
#ifdef CORVANE_TEST_ASAN
inline std::int64_t LiveHeapBytes = 0;
inline std::int64_t PeakHeapBytes = 0;

inline void StartMemoryMeter() {
    LiveHeapBytes = PeakHeapBytes = 0;
    __sanitizer_install_malloc_and_free_hooks(
        [](const volatile void*, std::size_t Size) {
            LiveHeapBytes += static_cast<std::int64_t>(Size);
            PeakHeapBytes = std::max(PeakHeapBytes, LiveHeapBytes);
        },
        [](const volatile void* Pointer) {
            LiveHeapBytes -= static_cast<std::int64_t>(__sanitizer_get_allocated_size(Pointer));
        });
}
inline std::uint64_t PeakMemoryBytes() {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(PeakHeapBytes, 0));
}
#else
inline std::uint64_t PeakResidentBytes() {
    std::ifstream Status("/proc/self/status");
    for (std::string Line; std::getline(Status, Line);)
        if (Line.starts_with("VmHWM:")) return std::stoull(Line.substr(6)) * 1024;
    return 0;
}
inline std::uint64_t BaseResidentBytes = 0;

inline void StartMemoryMeter() {
    malloc_trim(0);
    // Resets the peak resident size to the current one; without it the inherited peak is the base.
    std::ofstream("/proc/self/clear_refs") << "5";
    BaseResidentBytes = PeakResidentBytes();
}
inline std::uint64_t PeakMemoryBytes() {
    return std::max(PeakResidentBytes(), BaseResidentBytes) - BaseResidentBytes;
}
#endif

// Output inspection: each function returns "" when all is well, otherwise the first problem.

// Style must be a list of declarations a run, a paragraph, a list item or a table may carry, each confined to
// itself: no escape, comment, brace or unterminated string that could carry a value past its semicolon
// or hide the declarations after it.
inline std::string InspectStyle(std::string_view Style) {
    static const std::set<std::string, std::less<>> Allowed{
        "font-family",     "color",       "background-color", "font-size",
        "font-weight",     "font-style",  "text-decoration",  "vertical-align",
        "direction",       "text-align",  "margin-left",      "margin-right",
        "text-indent",     "margin-top",  "margin-bottom",    "border",
        "border-collapse", "width",       "border-top",       "border-right",
        "border-bottom",   "border-left", "list-style-type",  "counter-increment"};
    const auto CheckDeclaration = [&](std::string_view Declaration) -> std::string {
        Declaration.remove_prefix(std::min(Declaration.find_first_not_of(' '), Declaration.size()));
        if (Declaration.empty()) return {};
        const std::size_t Colon = Declaration.find(':');
        if (Colon == std::string_view::npos || !Allowed.contains(Declaration.substr(0, Colon)))
            return "unexpected declaration: " + std::string(Declaration);
        return {};
    };
    std::size_t Start = 0;
    char Quote = 0;
    for (std::size_t I = 0; I < Style.size(); ++I) {
        const char C = Style[I];
        if (C == '\\' || C == '{' || C == '}' || Style.substr(I, 2) == "/*")
            return "escape, brace or comment in a style: " + std::string(Style);
        if (Quote != 0) {
            if (C == Quote) Quote = 0;
        } else if (C == '\'' || C == '"') {
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

// An absolute target kept as written, or one percent-encoded down to unreserved characters (with one
// anchor), as the link builder writes them.
inline std::string InspectHref(std::string_view Href) {
    for (const std::string_view Kept : {"http://", "https://", "mailto:"})
        if (Href.starts_with(Kept)) return {};
    if (Href.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~%#") !=
        std::string_view::npos)
        return "href not percent-encoded: " + std::string(Href);
    return {};
}

// A data: URI in Base64, or a picture file's own name.
inline std::string InspectImageSource(std::string_view Source) {
    const std::size_t Data = Source.find(";base64,");
    if (Source.starts_with("data:") && Data != std::string_view::npos &&
        Source.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=",
                                 Data + 8) == std::string_view::npos)
        return {};
    if (Source.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789.") == std::string_view::npos)
        return {};
    return "unexpected image source: " + std::string(Source.substr(0, 80));
}

inline std::string AttributeValue(xmlNode* Element, xmlAttr* Attribute) {
    xmlChar* Value = xmlNodeListGetString(Element->doc, Attribute->children, 1);
    std::string Result = Value != nullptr ? reinterpret_cast<const char*>(Value) : "";
    xmlFree(Value);
    return Result;
}

// Element and everything after and below it must be markup the XHTML 1.0 Strict translator writes, with
// the attributes it writes.
inline std::string InspectElement(xmlNode* Element) {
    static const std::set<std::string, std::less<>> Elements{
        "html", "head", "meta", "title", "style", "body",  "p",  "span", "a",  "img", "br",
        "ul",   "ol",   "li",   "table", "thead", "tbody", "tr", "td",   "th", "div", "hr"};
    static const std::set<std::pair<std::string, std::string>> Attributes{
        {"html", "lang"},   {"meta", "http-equiv"}, {"meta", "content"}, {"meta", "name"},  {"style", "type"},
        {"p", "style"},     {"li", "style"},        {"span", "style"},   {"span", "id"},    {"span", "lang"},
        {"a", "href"},      {"img", "src"},         {"img", "height"},   {"img", "width"},  {"img", "alt"},
        {"table", "style"}, {"td", "style"},        {"td", "colspan"},   {"td", "rowspan"}, {"th", "style"},
        {"th", "colspan"},  {"th", "rowspan"},      {"ol", "style"},     {"a", "id"},       {"div", "class"},
        {"div", "id"}};
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
            if ((AttributeName == "width" || AttributeName == "height" || AttributeName == "colspan" ||
                 AttributeName == "rowspan") &&
                (Value.empty() || Value.find_first_not_of("0123456789") != std::string::npos))
                Problem = "size that is not a number: " + Value;
            if (!Problem.empty()) return Problem;
        }
        if (std::string Problem = InspectElement(Node->children); !Problem.empty()) return Problem;
    }
    return {};
}

// Calls Visit for Node, the elements after it and everything below them.
inline void ForEachElement(xmlNode* Node, const std::function<void(xmlNode*)>& Visit) {
    for (; Node != nullptr; Node = Node->next) {
        if (Node->type != XML_ELEMENT_NODE) continue;
        Visit(Node);
        ForEachElement(Node->children, Visit);
    }
}

// Text parsed as XML; Root() is null when it is not well-formed.
class TXmlDocument {
public:
    explicit TXmlDocument(std::string_view Text)
        : FDocument(
              xmlReadMemory(Text.data(), static_cast<int>(Text.size()), nullptr, "UTF-8",
                            XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING)) {}
    TXmlDocument(const TXmlDocument&) = delete;
    TXmlDocument& operator=(const TXmlDocument&) = delete;
    ~TXmlDocument() { xmlFreeDoc(FDocument); }
    xmlNode* Root() const { return FDocument != nullptr ? xmlDocGetRootElement(FDocument) : nullptr; }

private:
    xmlDocPtr FDocument;
};

// Output must be well-formed XML holding nothing but the converter's own markup.
inline std::string InspectXhtml(std::string_view Output) {
    const TXmlDocument Document(Output);
    if (Document.Root() == nullptr) {
        const xmlError* Error = xmlGetLastError();
        return "not well-formed XML: " +
               std::string(Error != nullptr && Error->message ? Error->message : "");
    }
    return InspectElement(Document.Root());
}

// The child process.

enum TOutcome : std::int32_t { ocConverted, ocFailed, ocForeignException };

// What the child tells its parent, through memory they share.
struct TChildReport {
    TOutcome Outcome = ocForeignException;
    std::uint64_t PeakBytes = 0;
    std::uint64_t InputBytes = 0;
    std::uint64_t OutputBytes = 0;
    char Message[600] = {};    // the ECxError's or other exception's text
    char Inspection[600] = {}; // the first problem of the output, if any

    void SetMessage(std::string_view Text) { Copy(Message, Text); }
    void SetInspection(std::string_view Text) { Copy(Inspection, Text); }

private:
    static void Copy(char (&Target)[600], std::string_view Text) {
        Text = Text.substr(0, sizeof Target - 1);
        std::memcpy(Target, Text.data(), Text.size());
        Target[Text.size()] = '\0';
    }
};

struct TIsolatedRun {
    std::string Death; // empty when the child reported and exited normally
    TChildReport Report;
};

// Converts MakeInput() with the full converter; the output must be clean XHTML and hold Needle. The
// input is built inside the child, so that it counts towards the case's memory and the parent stays small.
inline std::function<void(TChildReport&)> ConvertInChild(std::function<std::string()> MakeInput,
                                                         std::string Needle = {}) {
    return [MakeInput = std::move(MakeInput), Needle = std::move(Needle)](TChildReport& Report) {
        std::string Output;
        {
            const std::string Input = MakeInput();
            Report.InputBytes = Input.size();
            try {
                Output = MakeFullConverter()->Convert(Input);
                Report.Outcome = ocConverted;
            } catch (const ECxError& Error) {
                Report.Outcome = ocFailed;
                Report.SetMessage(Error.what());
            } catch (const std::exception& Error) {
                Report.SetMessage(Error.what());
            }
        }
        Report.OutputBytes = Output.size();
        Report.PeakBytes = PeakMemoryBytes();
        if (Report.Outcome != ocConverted) return;
        std::string Problem = InspectXhtml(Output);
        if (Problem.empty() && Output.find(Needle) == std::string::npos)
            Problem = "no \"" + Needle + "\" in the output";
        Report.SetInspection(Problem);
    };
}

// Runs Work in a forked child, killed by an alarm after Seconds. Under the sanitizer the child also
// runs the leak check once everything it made is gone, and reports a leak as its death.
inline TIsolatedRun RunIsolated(const std::function<void(TChildReport&)>& Work, unsigned Seconds) {
    void* Shared =
        mmap(nullptr, sizeof(TChildReport), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (Shared == MAP_FAILED) return {"mmap failed", {}};
    TChildReport* Report = new (Shared) TChildReport;
    std::fflush(nullptr);
    const pid_t Child = fork();
    if (Child == 0) {
        alarm(Seconds);
        StartMemoryMeter();
        Work(*Report);
        xmlCleanupParser();
        wmf::ReleaseGraphicsCaches();
#ifdef CORVANE_TEST_ASAN
        __sanitizer_install_malloc_and_free_hooks(nullptr, nullptr);
        if (__lsan_do_recoverable_leak_check() != 0) _exit(3);
#endif
        _exit(0);
    }
    int Status = 0;
    while (Child > 0 && waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
    }
    TIsolatedRun Run{{}, *Report};
    munmap(Shared, sizeof(TChildReport));
    if (Child < 0)
        Run.Death = "fork failed";
    else if (WIFSIGNALED(Status))
        Run.Death = WTERMSIG(Status) == SIGALRM
                        ? "no result within " + std::to_string(Seconds) + " s"
                        : std::string("killed by signal ") + strsignal(WTERMSIG(Status));
    else if (WEXITSTATUS(Status) == 3)
        Run.Death = "leaked memory (see the leak report above)";
    else if (WEXITSTATUS(Status) != 0)
        Run.Death = "ended with status " + std::to_string(WEXITSTATUS(Status));
    return Run;
}

} // namespace corvane::test
