// The converter as the Python module corvane (its compiled part, corvane._core). Keyword options are read
// exactly as corvane-xhtml reads its flags, through its own command-line parser, so that a call and a
// command with the same options give the same bytes, and every flag the tool learns is an option here too.
#include "CliBatch.h"
#include "CliCommandLine.h"
#include "CliConverter.h"
#include "CliFiles.h"
#include "CliInput.h"
#include "CorvaneXHTML.h"

#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace py = pybind11;

namespace corvane {
namespace {

// Raised to Python as corvane.Error.
class EPythonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// New files get what the process's umask allows; read once, while the module loads on one thread, since
// reading the umask means setting it.
mode_t FileModeFromUmask() {
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    return 0666 & ~Mask;
}

const mode_t FileMode = FileModeFromUmask();

// The tool's flags for the options, in the order given: name=True is --name (False and None leave the
// flag out), name=value is --name value, and properties={NAME: value} is --set NAME=value, where a list
// of lines empties a string list and adds each line.
std::vector<std::string> Flags(const py::kwargs& Options) {
    std::vector<std::string> Result;
    for (const auto& [Key, Value] : Options) {
        const std::string Name = py::str(Key);
        if (Name == "properties") {
            for (const auto& [Property, Setting] : Value.cast<py::dict>()) {
                const std::string PropertyName = py::str(Property);
                if (py::isinstance<py::list>(Setting) || py::isinstance<py::tuple>(Setting)) {
                    Result.insert(Result.end(), {"--set", PropertyName + "="});
                    for (const py::handle Line : Setting)
                        Result.insert(Result.end(), {"--add", PropertyName + "=" + std::string(py::str(Line))});
                } else if (py::isinstance<py::bool_>(Setting)) {
                    Result.insert(Result.end(), {"--set", PropertyName + (Setting.cast<bool>() ? "=true" : "=false")});
                } else {
                    Result.insert(Result.end(), {"--set", PropertyName + "=" + std::string(py::str(Setting))});
                }
            }
            continue;
        }
        std::string Flag = "--" + Name;
        for (char& Character : Flag)
            if (Character == '_') Character = '-';
        if (Value.is_none() || (py::isinstance<py::bool_>(Value) && !Value.cast<bool>())) continue;
        Result.push_back(Flag);
        if (!py::isinstance<py::bool_>(Value)) Result.push_back(py::str(Value));
    }
    return Result;
}

// The tool's lines without its name in front: "in.rtf: not an RTF document ...".
std::string WithoutToolName(std::string_view Report) {
    constexpr std::string_view ToolName = "corvane-xhtml: ";
    std::string Result;
    while (!Report.empty()) {
        const std::size_t End = Report.find('\n');
        std::string_view Line = Report.substr(0, End);
        if (Line.starts_with(ToolName)) Line.remove_prefix(ToolName.size());
        if (!Result.empty() && !Line.empty()) Result += '\n';
        Result += Line;
        Report.remove_prefix(End == std::string_view::npos ? Report.size() : End + 1);
    }
    return Result;
}

TCliSettings ParseOptions(const py::kwargs& Options, const std::vector<std::string>& Operands) {
    std::vector<std::string> Arguments{"corvane"};
    for (std::string& Flag : Flags(Options))
        Arguments.push_back(std::move(Flag));
    Arguments.insert(Arguments.end(), Operands.begin(), Operands.end());
    std::vector<const char*> Pointers;
    for (const std::string& Argument : Arguments)
        Pointers.push_back(Argument.c_str());
    TCommandLine Line = ParseCommandLine(static_cast<int>(Pointers.size()), Pointers.data(), TCxBase::Version());
    if (Line.ExitStatus >= 0) {
        // The tool's advice to run --help means nothing here.
        std::string Message = Line.Err.empty() ? Line.Out : Line.Err;
        if (const std::size_t Advice = Message.find("\nRun with --help"); Advice != std::string::npos)
            Message.erase(Advice);
        throw EPythonError(WithoutToolName(Message));
    }
    return std::move(Line.Settings);
}

// bytes, or a str of ASCII only: RTF is 7-bit text, and anything else in a str says the caller decoded it.
std::string InputBytes(const py::object& Rtf) {
    if (py::isinstance<py::bytes>(Rtf)) return Rtf.cast<std::string>();
    if (py::isinstance<py::str>(Rtf)) {
        std::string Text = Rtf.cast<std::string>();
        for (const char Character : Text)
            if (static_cast<unsigned char>(Character) >= 0x80)
                throw EPythonError("rtf as str may hold ASCII only; pass the document's bytes instead");
        return Text;
    }
    throw EPythonError("rtf must be bytes or str");
}

py::object Convert(const py::object& Rtf, bool ReturnPictures, const py::kwargs& Options) {
    TInputDocument Input(InputBytes(Rtf));
    const TCliSettings Settings = ParseOptions(Options, {"-"});
    std::string Output;
    TCliFiles Pictures;
    {
        py::gil_scoped_release Release;
        try {
            TConverterWorker Worker(Settings);
            std::string Log;
            Pictures = Worker.Convert(TCliJob{"-", "", ".", "", ""}, Input, Log,
                                      [&Output](std::string_view Piece) { Output += Piece; });
        } catch (const std::runtime_error& Error) {
            throw EPythonError(Error.what());
        }
    }
    py::str Html(Output);
    if (!ReturnPictures) return Html;
    py::dict Files;
    for (const auto& [Name, Bytes] : Pictures)
        Files[py::str(Name)] = py::bytes(Bytes);
    return py::make_tuple(std::move(Html), std::move(Files));
}

void ConvertFile(const std::string& Source, const std::string& Target, const py::kwargs& Options) {
    const TCliSettings Settings = ParseOptions(Options, {Source, "-o", Target});
    py::gil_scoped_release Release;
    std::string Report;
    int Status = 1;
    try {
        TRkCorvaneXHTML Probe;
        ConfigureConverter(Probe, Settings);
        TCliEnvironment Environment;
        Environment.ReadStandardInput = [] { return std::string(); };
        Environment.WriteOutput = [](std::string_view) {};
        Environment.WriteError = [&Report](std::string_view Text) { Report += Text; };
        Environment.FileMode = FileMode;
        Status = RunJobs(PlanJobs(Settings, Probe.ConvertToPlainText()), 1,
                         [&Settings] { return std::make_unique<TConverterWorker>(Settings); }, Environment);
    } catch (const std::runtime_error& Error) {
        throw EPythonError(Error.what());
    }
    if (Status != 0) throw EPythonError(WithoutToolName(Report));
}

} // namespace
} // namespace corvane

PYBIND11_MODULE(_core, Module) {
    using namespace corvane;
    Module.doc() = "RTF to HTML, XHTML or plain text (the compiled part of corvane)";
    static py::exception<EPythonError> Error(Module, "Error");
    py::register_exception_translator([](std::exception_ptr Pointer) {
        try {
            if (Pointer) std::rethrow_exception(Pointer);
        } catch (const EPythonError& Failure) {
            PyErr_SetString(Error.ptr(), Failure.what());
        }
    });
    Module.def("convert", &Convert, py::arg("rtf"), py::kw_only(), py::arg("return_pictures") = false,
               "Converts an RTF document (bytes) with the options of corvane-xhtml's flags.");
    Module.def("convert_file", &ConvertFile, py::arg("src"), py::arg("dst"),
               "Converts the file src into dst (replaced only on success), pictures beside it.");
    Module.attr("__version__") = TCxBase::Version();
}
