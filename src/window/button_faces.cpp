#include "window/button_faces.h"

#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolImages.h"

namespace hk::window {

void SetFace(hk::skin::TCoolBitmapButton* button, hk::skin::TCoolImages* images, int index) {
    if (!images || index < 0 || index >= images->Bitmaps().Count()) return;
    const hk::skin::TBitmapItem& face = images->Bitmaps()[index];
    button->setBitmap(face.Bitmap(), face.Bitmap2x());
}

void BindFaces(hk::skin::TCoolBitmapButton* button, hk::skin::TCoolImages* images,
               ButtonFaces faces) {
    SetFace(button, images, faces.normal);
    button->OnMoseEnter = [=](QObject*) { SetFace(button, images, faces.hover); };
    button->OnMouseLeave = [=](QObject*) { SetFace(button, images, faces.normal); };
    button->OnMouseDown = [=](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        SetFace(button, images, faces.pressed);
    };
    button->OnMouseUp = [=](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        SetFace(button, images, faces.up);
    };
}

}  // namespace hk::window
