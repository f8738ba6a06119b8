#include "CxPictureConverterList.h"

#include <utility>

namespace corvane {

TPictureConverterList::TPictureConverterList(std::vector<std::shared_ptr<IPictureConverter>> Converters)
    : FConverters(std::move(Converters)) {}

void TPictureConverterList::Convert(TEmbeddedPicture& Picture) {
    for (const auto& Converter : FConverters)
        if (Converter) Converter->Convert(Picture);
}

} // namespace corvane
