// The worker that runs the real converter for the batch runner: one converter per thread, configured from
// the command line's property steps.
#pragma once

#include "CliBatch.h"
#include "CliCommandLine.h"
#include "CorvaneXHTML.h"

#include <memory>
#include <string>

namespace corvane {

class TMemoryPictureAdapterDataURI;

// Applies the steps in order, then the tool's own rule: plain text writes a tab as a tab unless TabString
// was set on the command line.
void ConfigureConverter(TCxBase& Converter, const TCliSettings& Settings);

bool HasRtfHeader(std::string_view Input);

class TConverterWorker : public ICliWorker {
public:
    explicit TConverterWorker(const TCliSettings& Settings);
    TCliFiles Convert(const TCliJob& Job, TInputDocument& Input, std::string& Log,
                      const std::function<void(std::string_view)>& Write) override;

private:
    // Directs the converter's log to Log and its pictures to the job, for one conversion.
    void Prepare(const TCliJob& Job, std::string& Log);
    // The pictures that are not embedded, to be written beside the result.
    TCliFiles PictureFiles(const TCliJob& Job) const;

    TRkCorvaneXHTML FConverter;
    std::shared_ptr<TMemoryPictureAdapterDataURI> FPictures;
    std::string* FLog = nullptr;
    std::string FLogPrefix;
};

} // namespace corvane
