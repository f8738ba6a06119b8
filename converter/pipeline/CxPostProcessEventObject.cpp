#include "CxPostProcessEventObject.h"

#include <utility>

namespace corvane {

TPostProcessEventObject::TPostProcessEventObject(std::shared_ptr<ISimpleDomDocument> Document)
    : FDocument(std::move(Document)) {}

} // namespace corvane
