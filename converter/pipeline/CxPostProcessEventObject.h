// Post-processing: listeners registered on the converter see the finished document tree after parsing
// and before it is serialised, and may change it.
#pragma once

#include "CxSimpleDomInterfaces.h"

#include <memory>

namespace corvane {

class TCxBase;

// Hands the document of one conversion to the listeners; a listener may keep the document beyond it.
class TPostProcessEventObject {
public:
    explicit TPostProcessEventObject(std::shared_ptr<ISimpleDomDocument> Document);

    const std::shared_ptr<ISimpleDomDocument>& Document() const { return FDocument; }

private:
    std::shared_ptr<ISimpleDomDocument> FDocument;
};

class IPostProcessEventListener {
public:
    virtual ~IPostProcessEventListener() = default;
    virtual void HandleEvent(TCxBase& Sender, TPostProcessEventObject& EventObject) = 0;
};

} // namespace corvane
