#pragma once

namespace hk::skin {
class TCoolBitmapButton;
class TCoolImages;
}  // namespace hk::skin

namespace hk::window {

// Indices into CoolImages1 of a button's faces, and which one mouse-up shows.
struct ButtonFaces {
    int normal;   // at rest and on mouse leave
    int hover;    // on mouse enter
    int pressed;  // on mouse down, any mouse button
    int up;       // on mouse up, after any click has run to its end
};

// Hooks the four mouse events of `button` to copy the matching face out of
// `images` (the collection keeps its own bitmap; the button gets a copy).
void BindFaces(hk::skin::TCoolBitmapButton* button, hk::skin::TCoolImages* images,
               ButtonFaces faces);

// Copies face `index` of `images` into `button`; an index the collection does
// not hold leaves the button as it is.
void SetFace(hk::skin::TCoolBitmapButton* button, hk::skin::TCoolImages* images, int index);

}  // namespace hk::window
