// Pictures a Word page shows only through VML, made plain images before the cleaners remove
// VML markup.
#pragma once

#include <string>
#include <string_view>

namespace quirebook {

// Every VML shape (<v:shape ...>...</v:shape>) in `text` that shows a picture becomes plain
// images: the <img> elements it holds (a hand-edited page puts them there), else one <img>
// made of its <v:imagedata>: src from the image data, alt from its o:title. An image made, and
// one held without a width or height attribute, gets the width and height in pixels of the
// shape's style. Shapes without a picture, and VML inside Word's conditional comments (which
// carry their own <img> fallback), are left as they are.
std::string VmlPicturesAsImages(std::string_view text);

}  // namespace quirebook
