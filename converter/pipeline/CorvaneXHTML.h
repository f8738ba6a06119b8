// The component applications create, with its file entry points.
#pragma once

#include "CxMain.h"

#include <istream>
#include <string>

namespace corvane {

// Reads the rest of Stream whole; "Stream size error" when the stream cannot tell its size or it is
// above 2147483647 bytes.
std::string StreamToString(std::istream& Stream);

class TCustomCorvane : public TCxMain {
public:
    std::string ConvertFromFile(const std::string& InputFileName);
    // The output file appears only once the conversion and the whole write have succeeded; an existing
    // file is replaced then and left untouched otherwise.
    void ConvertFile(const std::string& InputFileName, const std::string& OutputFileName);
};

class TRkCorvaneXHTML : public TCustomCorvane {};

} // namespace corvane
