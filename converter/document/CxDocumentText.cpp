#include "CxDocumentText.h"

namespace corvane {

void TTextNode::SetCharacterProperties(const TCharacterProperties& Properties) {
    // A run restarted with unchanged properties should not reallocate its strings.
    if (!(FProperties == Properties)) FProperties.Assign(Properties);
}

} // namespace corvane
