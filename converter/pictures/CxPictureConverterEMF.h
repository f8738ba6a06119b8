// Turns enhanced metafile pictures into PNG images in place, through our own metafile player.
#pragma once

#include "CxEmbeddedPicture.h"
#include "CxInterfaces.h"

namespace corvane {

class TPictureConverterEMF : public IPictureConverter {
public:
    // Converts a picture of type ptEMF into a PNG of its goal size in pixels, the metafile's frame
    // stretched over it, as the Windows metafile converter sizes its pictures; every other picture
    // stays as it is. A metafile the player cannot render, or a goal size of 0 or over the player's
    // image limit, also leaves the picture as it was.
    void Convert(TEmbeddedPicture& Picture) override;
};

} // namespace corvane
