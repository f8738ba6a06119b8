#include "CxPictureConverterEMF.h"

#include "EmfPlayer.h"
#include "WmfPlayer.h"

namespace corvane {

void TPictureConverterEMF::Convert(TEmbeddedPicture& Picture) {
    if (Picture.PictureType() != ptEMF) return;
    const std::uint32_t Width = Picture.GetWidthPixels();
    const std::uint32_t Height = Picture.GetHeightPixels();
    if (Width > static_cast<std::uint32_t>(wmf::MaxImageSide) ||
        Height > static_cast<std::uint32_t>(wmf::MaxImageSide))
        return;
    const auto Png =
        wmf::RenderEmfToPng(Picture.GetData().Bytes(), static_cast<int>(Width), static_cast<int>(Height));
    if (!Png) return;
    TByteStream Stream;
    Stream.Write(Png->data(), Png->size());
    Picture.SetPictureType(ptPNG);
    Picture.LoadFromStream(Stream);
}

} // namespace corvane
