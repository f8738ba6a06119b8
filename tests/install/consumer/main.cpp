#include <corvane/CorvaneXHTML.h>
#include <corvane/CxMemoryPictureAdapterDataURI.h>
#include <corvane/CxPictureConverterWMF.h>

#include <iostream>
#include <memory>

int main() {
    corvane::TRkCorvaneXHTML converter;
    auto pictures = std::make_shared<corvane::TMemoryPictureAdapterDataURI>(32);
    pictures->SetConverter(std::make_shared<corvane::TPictureConverterWMF>());
    converter.SetPictureAdapter(pictures);
    converter.SetConvertPictures(true);
    converter.OptionsHead().SetAddOuterHTML(false);
    std::cout << converter.Convert("{\\rtf1 Hello {\\b consumer}}");
}
