// Several picture converters offered each picture in turn, for an adapter that holds only one.
#pragma once

#include "CxEmbeddedPicture.h"
#include "CxInterfaces.h"

#include <memory>
#include <vector>

namespace corvane {

class TPictureConverterList : public IPictureConverter {
public:
    explicit TPictureConverterList(std::vector<std::shared_ptr<IPictureConverter>> Converters);

    // Each converter in order; a later one sees what an earlier one made of the picture.
    void Convert(TEmbeddedPicture& Picture) override;

private:
    std::vector<std::shared_ptr<IPictureConverter>> FConverters;
};

} // namespace corvane
