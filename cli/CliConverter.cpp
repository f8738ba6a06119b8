#include "CliConverter.h"

#include "CliInput.h"
#include "CxEmbeddedPicture.h"
#include "CxMemoryPictureAdapterDataURI.h"
#include "CxPictureConverterEMF.h"
#include "CxPictureConverterList.h"
#include "CxPictureConverterWMF.h"

#include <array>
#include <stdexcept>

namespace corvane {

namespace {

constexpr std::array<std::string_view, 5> LevelNames{"debug", "info", "warning", "error", "fatal"};

// The log goes nowhere between conversions.
struct TDetachLog {
    std::string*& Log;
    ~TDetachLog() { Log = nullptr; }
};

} // namespace

void ConfigureConverter(TCxBase& Converter, const TCliSettings& Settings) {
    for (const TPropertyStep& step : Settings.Steps)
        ApplyStep(Converter, step);
    if (Converter.ConvertToPlainText() && !Settings.TabStringSet) Converter.SetTabString("\t");
    // A picture in plain text would be an <img> tag among the words: --all means every readable text there.
    if (Converter.ConvertToPlainText() && Settings.AllGiven && !Settings.PicturesNamed)
        Converter.SetConvertPictures(false);
}

bool HasRtfHeader(std::string_view Input) {
    return Input.substr(0, 5) == "{\\rtf";
}

TConverterWorker::TConverterWorker(const TCliSettings& Settings) {
    ConfigureConverter(FConverter, Settings);
    FConverter.SetOnLog([this](TCxBase&, TLogLevel Level, const std::string& Text) {
        if (!FLog) return;
        *FLog += FLogPrefix;
        *FLog += Level < LevelNames.size() ? LevelNames[Level] : std::string_view("log");
        *FLog += ": ";
        *FLog += Text;
        *FLog += '\n';
    });
    // Whatever turned pictures on, they need somewhere to go.
    if (FConverter.ConvertPictures()) {
        FPictures = std::make_shared<TMemoryPictureAdapterDataURI>(Settings.MaxDataUriKB);
        // Browsers show no metafiles: those the players can render become PNG.
        FPictures->SetConverter(
            std::make_shared<TPictureConverterList>(std::vector<std::shared_ptr<IPictureConverter>>{
                std::make_shared<TPictureConverterWMF>(), std::make_shared<TPictureConverterEMF>()}));
        FConverter.SetPictureAdapter(FPictures);
    }
}

void TConverterWorker::Prepare(const TCliJob& Job, std::string& Log) {
    FLog = &Log;
    FLogPrefix = Job.LogPrefix;
    if (FPictures) FPictures->SetURLPrefix(Job.PicturePrefix);
}

TCliFiles TConverterWorker::PictureFiles(const TCliJob& Job) const {
    TCliFiles files;
    if (FPictures) {
        for (const auto& [name, picture] : FPictures->GetPictures())
            if (!picture->IsDataURI()) {
                const std::vector<std::uint8_t>& bytes = picture->GetData().Bytes();
                files.emplace_back(Job.PicturePrefix + name, std::string(bytes.begin(), bytes.end()));
            }
    }
    return files;
}

TCliFiles TConverterWorker::Convert(const TCliJob& Job, TInputDocument& Input, std::string& Log,
                                    const std::function<void(std::string_view)>& Write) {
    Prepare(Job, Log);
    TDetachLog detach{FLog};
    const bool header = HasRtfHeader(Input.View()); // the converter gives the input back as it reads it
    FConverter.ConvertTo(
        Input.View(), [&Input](std::size_t Length) { Input.Release(Length); }, Write);
    // The converter only logs a missing header; for the tool it is a failed conversion.
    if (!header) throw std::runtime_error("not an RTF document (no RTF header found)");
    return PictureFiles(Job);
}

} // namespace corvane
